// The picture generator in a worker of the page (linked before morvek-media.js's
// own code): the page's thread never waits on its painting, nor on reading
// the pictures kept, and can show how far the painting has got. Once loaded it
// says so, with what each painter draws and about how long it takes
// ({ready: [{subject, weight}, ...]}); then it does one thing a message,
// and answers each:
//   {find: K}              {found: RECORD|null}, the pictures kept under K:
//                          {files: [[NAME, BYTES], ...], icon: BYTES}; also
//                          at once, before the generator is loaded
//   {paint: N}             {painted: N, files: [[NAME, BYTES], ...]}
//   {icon: true}           {icon: BYTES}, the game's icon as a PNG
//   {keep: RECORD, key: K} {kept: true|false}, RECORD kept in IndexedDB under K
// and {failed: TEXT} when a painter is unknown. Pictures go to the page
// handed over, not copied: 43 MB would otherwise be copied twice.
'use strict';
Module['print'] = text => { if (text) console.log(text); };
Module['printErr'] = text => { if (text) console.warn(text); };
Module['onRuntimeInitialized'] = () => {
  const count = Module['_morvek_media_painters']();
  const painters = [];
  for (let i = 0; i < count; ++i) {
    painters.push({subject: UTF8ToString(Module['_morvek_media_subject'](i)),
                   weight: Module['_morvek_media_weight'](i)});
  }
  postMessage({ready: painters});
};

// The file made last, copied out of the module's memory into a buffer of its own.
function taken(size) {
  const at = Module['_morvek_media_bytes']();
  return HEAPU8.slice(at, at + size);
}

function paint(painter) {
  const count = Module['_morvek_draw_painter'](painter);
  if (count < 0) {
    postMessage({failed: 'painter ' + painter});
    return;
  }
  const files = [];
  for (let i = 0; i < count; ++i) {
    const name = UTF8ToString(Module['_morvek_media_name'](i));
    files.push([name, taken(Module['_morvek_media_file'](i))]);
  }
  postMessage({painted: painter, files}, files.map(([, data]) => data.buffer));
}

function icon() {
  const png = taken(Module['_morvek_draw_icon']());
  postMessage({icon: png}, [png.buffer]);
}

// The page's storage of pictures, for one transaction; failed() if it
// cannot be had.
function withStore(mode, use, failed) {
  try {
    const request = indexedDB.open('morvek-pictures', 1);
    request.onupgradeneeded = () => request.result.createObjectStore('pictures');
    request.onerror = e => { e.preventDefault(); failed(); };
    request.onsuccess = () => {
      const t = request.result.transaction('pictures', mode);
      t.onerror = e => e.preventDefault();
      use(t);
    };
  } catch (e) {
    failed();
  }
}

// The pictures kept under key, whole, or null.
function find(key) {
  let told = false;
  const tell = (found, buffers = []) => {
    if (!told) postMessage({found}, buffers);
    told = true;
  };
  withStore('readonly', t => {
    const get = t.objectStore('pictures').get(key);
    get.onerror = e => { e.preventDefault(); tell(null); };
    t.onabort = () => tell(null);
    get.onsuccess = () => {
      const kept = get.result;
      const whole = kept && Array.isArray(kept.files) && kept.icon instanceof Uint8Array &&
                    kept.files.every(f => Array.isArray(f) && typeof f[0] === 'string' && f[1] instanceof Uint8Array);
      if (!whole) return tell(null);
      tell(kept, [...new Set([...kept.files.map(([, data]) => data.buffer), kept.icon.buffer])]);
    };
  }, () => tell(null));
}

// Only this build's pictures stay.
function keep(record, key) {
  const kept = ok => postMessage({kept: ok});
  withStore('readwrite', t => {
    t.objectStore('pictures').clear();
    t.objectStore('pictures').put(record, key);
    t.oncomplete = () => kept(true);
    t.onabort = () => kept(false);
  }, () => kept(false));
}

onmessage = e => {
  const asked = e.data;
  if (asked.paint !== undefined) paint(asked.paint);
  else if (asked.icon) icon();
  else if (asked.find) find(asked.find);
  else if (asked.keep) keep(asked.keep, asked.key);
};
