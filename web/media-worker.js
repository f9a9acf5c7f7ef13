// The picture generator in a worker of the page (linked before morvek-media.js's
// own code): the page's thread never waits on its painting, and can show
// how far it has got. Once loaded it says so, with what each painter draws
// and about how long it takes ({ready: [{subject, weight}, ...]});
// then it does one thing a message, and answers each:
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

// The page's storage, in one transaction: only this build's pictures stay.
function keep(record, key) {
  const kept = ok => postMessage({kept: ok});
  try {
    const request = indexedDB.open('morvek-pictures', 1);
    request.onupgradeneeded = () => request.result.createObjectStore('pictures');
    request.onerror = e => { e.preventDefault(); kept(false); };
    request.onsuccess = () => {
      const t = request.result.transaction('pictures', 'readwrite');
      t.objectStore('pictures').clear();
      t.objectStore('pictures').put(record, key);
      t.oncomplete = () => kept(true);
      t.onabort = () => kept(false);
      t.onerror = e => e.preventDefault();
    };
  } catch (e) {
    kept(false);
  }
}

onmessage = e => {
  const asked = e.data;
  if (asked.paint !== undefined) paint(asked.paint);
  else if (asked.icon) icon();
  else if (asked.keep) keep(asked.keep, asked.key);
};
