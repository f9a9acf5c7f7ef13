// The page's leaderboard and replays, in its own HTML beside the game: the
// choice to send games to the server that serves the page, the online name,
// and the sessions the page keeps. The game asks for the name and the list
// (src/host/PageOnline.cpp) and goes on meanwhile; nothing typed here
// reaches it. Loaded before the page's own script, which calls prepare()
// before the game starts and begun() after.
'use strict';
const online = (() => {
  const query = new URLSearchParams(location.search);
  const replayName = query.get('replay');
  const replayFile = /^[0-9]{4}-[0-9]{2}-[0-9]{2}_[0-9]{2}-[0-9]{2}-[0-9]{2}_[0-9]{2}\.txt$/;
  const replays = '/save/replays';
  const chosenKey = 'morvek-send-games';
  // The leaderboard is the server that serves the page under /play/, and
  // none when some other host serves it.
  const served = /\/play\/(index\.html)?$/.test(location.pathname);
  const board = served ? new URL('..', location.href) : null;
  const address = board ? (board.origin + board.pathname).replace(/\/$/, '') : '';

  function chosen() {
    try { return address !== '' && localStorage.getItem(chosenKey) === address; } catch (e) { return false; }
  }
  function choose(on) {
    try {
      if (on) localStorage.setItem(chosenKey, address);
      else localStorage.removeItem(chosenKey);
    } catch (e) { /* a page refused its storage sends nothing */ }
  }

  const style = document.createElement('style');
  style.textContent = `
    #online { flex: none; display: flex; justify-content: center; gap: 1.2em; align-items: center;
              font: 13px/22px sans-serif; color: #aaa; white-space: nowrap; overflow: hidden; }
    #online[hidden], body.watching #online { display: none; }
    body.playing #online { visibility: hidden; }
    :fullscreen #online { display: none; }
    #online button, .online-panel button { background: #222; color: #ddd; border: 1px solid #555;
              border-radius: 4px; font: 13px sans-serif; padding: 1px 8px; cursor: pointer; }
    .online-panel { position: fixed; left: 50%; top: 50%; transform: translate(-50%, -50%);
              background: rgba(16, 16, 16, .96); color: #ddd; border: 2px solid #f0a040;
              border-radius: 8px; padding: 16px 22px; font: 16px sans-serif; z-index: 5;
              max-width: 90vw; max-height: 85vh; overflow: auto; }
    .online-panel[hidden] { display: none; }
    .online-panel h2 { margin: 0 0 10px; font-size: 18px; color: #f0a040; }
    .online-panel input { font: bold 22px monospace; width: 8ch; text-transform: uppercase;
              background: #000; color: #fff; border: 1px solid #777; padding: 2px 6px; }
    .online-panel .why { color: #f77; min-height: 1.2em; font-size: 14px; }
    .online-panel .row { display: flex; gap: .6em; margin-top: 10px; justify-content: flex-end; }
    .online-panel table { border-collapse: collapse; margin: 6px 0; }
    .online-panel td, .online-panel th { padding: 3px 12px; text-align: left; }
    .online-panel th { color: #999; font-weight: normal; font-size: 13px; }
    .online-panel tbody tr { cursor: pointer; }
    .online-panel tbody tr.lit { background: #a3261b; color: #fff; }
    .online-panel tbody tr.refused { color: #888; cursor: default; }
    .online-panel .hint { color: #888; font-size: 13px; }`;
  document.head.appendChild(style);

  // The bar under the frame, on the menus only: the choice, the name, the replays.
  const bar = document.createElement('div');
  bar.id = 'online';
  bar.hidden = true;
  bar.innerHTML = '<label><input type="checkbox" id="send-games"> Send my games to this leaderboard</label>' +
                  '<span id="online-name"></span><button id="name-change" type="button">Name</button>' +
                  '<button id="replays-open" type="button">Replays</button>';
  const about = document.getElementById('about');
  about.parentNode.insertBefore(bar, about);
  const sendGames = document.getElementById('send-games');
  for (const e of [sendGames.parentNode, document.getElementById('online-name'),
                   document.getElementById('name-change')]) e.hidden = !served;
  sendGames.checked = chosen();

  // Keys typed into a panel are its own: they stop here, before the
  // window's listeners, which are the game's. A key that went down for the
  // game before the panel came goes up for it too.
  const ours = new Set();
  // Wherever the focus went meanwhile (a kept name closes its form).
  window.addEventListener('keyup', e => { if (ours.delete(e.code)) e.stopPropagation(); }, true);
  function panel(id, html) {
    const p = document.createElement('div');
    p.id = id;
    p.className = 'online-panel';
    p.hidden = true;
    p.innerHTML = html;
    p.addEventListener('keydown', e => {
      ours.add(e.code);
      e.stopPropagation();
    });
    document.body.appendChild(p);
    return p;
  }
  const nameForm = panel('name-form',
    '<h2>Your name on the leaderboard</h2>' +
    '<form><input id="name-typed" maxlength="7" autocomplete="off" spellcheck="false" ' +
    'aria-label="Your name, 1 to 7 letters"> <span class="hint">1 to 7 letters A to Z</span>' +
    '<div class="why" id="name-why"></div><div class="row"><button type="submit">Keep</button>' +
    '<button type="button" id="name-cancel">Cancel</button></div></form>');
  const typed = document.getElementById('name-typed');
  const list = panel('replay-list',
    '<h2>Replays</h2><div class="hint">The last sessions played in this browser, newest first. ' +
    'Return or a click watches one; Escape leaves.</div><table><thead><tr><th>Began</th>' +
    '<th>Difficulty</th><th>Speed</th><th>Best</th></tr></thead><tbody></tbody></table>' +
    '<div class="row"><button type="button" id="replays-close">Back to the game</button></div>');

  const gameRuns = () => typeof Module !== 'undefined' && Module.running && Module.onlineReady;
  const call = (name, ...texts) => Module.ccall(name, 'string', texts.map(() => 'string'), texts);
  function close(p) {
    p.hidden = true;
    document.getElementById('canvas').focus();
  }

  function showName() {
    const name = gameRuns() ? call('morvek_player_name') : '';
    document.getElementById('online-name').textContent = 'Name there: ' + (name || 'not chosen yet');
  }

  function askName(current) {
    typed.value = current;
    document.getElementById('name-why').textContent = '';
    nameForm.hidden = false;
    typed.focus();
    typed.select();
    document.body.dataset.nameAsked = String(Number(document.body.dataset.nameAsked || 0) + 1);
  }
  // Letters only, as the game's own name entry takes them.
  typed.addEventListener('input', () => {
    const letters = typed.value.toUpperCase().replace(/[^A-Z]/g, '').slice(0, 7);
    if (letters !== typed.value) typed.value = letters;
  });
  nameForm.querySelector('form').addEventListener('submit', e => {
    e.preventDefault();
    const why = call('morvek_choose_name', typed.value);
    if (why) {
      document.getElementById('name-why').textContent = why;
      return;
    }
    close(nameForm);
    showName();
    persist();
  });
  nameForm.addEventListener('keydown', e => { if (e.key === 'Escape') close(nameForm); });
  document.getElementById('name-cancel').addEventListener('click', () => close(nameForm));
  document.getElementById('name-change').addEventListener('click', () => {
    if (gameRuns()) askName(call('morvek_player_name'));
  });

  // What the board shows while no leaderboard is chosen.
  const noneLine = served ? 'No leaderboard chosen: see below the game.'
                          : 'This page is served without a leaderboard.';
  function useChoice() {
    const why = call('morvek_use_leaderboard', sendGames.checked ? address : '', noneLine);
    if (why) {
      sendGames.checked = false;
      sendGames.disabled = true;
      sendGames.parentNode.title = why;
    }
    document.body.dataset.leaderboard = sendGames.checked ? address : '';
  }
  sendGames.addEventListener('change', () => {
    choose(sendGames.checked);
    if (!gameRuns()) return;
    useChoice();
    if (sendGames.checked && !call('morvek_player_name')) askName('');
    else document.getElementById('canvas').focus();
  });

  // "2026-12-08_14-03-59_00.txt", begun then in UTC, in local time.
  function began(name) {
    const [y, mo, d, h, mi, s] = name.match(/[0-9]+/g).map(Number);
    const t = new Date(Date.UTC(y, mo - 1, d, h, mi, s));
    const two = n => String(n).padStart(2, '0');
    return `${t.getFullYear()}-${two(t.getMonth() + 1)}-${two(t.getDate())} ` +
           `${two(t.getHours())}:${two(t.getMinutes())}:${two(t.getSeconds())}`;
  }
  // The options a replay starts from, from its first lines only.
  function startsFrom(name) {
    const options = {difficulty: '-', speed: '-'};
    let head = '';
    try {
      const stream = FS.open(replays + '/' + name, 'r');
      const bytes = new Uint8Array(4096);
      head = new TextDecoder().decode(bytes.subarray(0, FS.read(stream, bytes, 0, bytes.length)));
      FS.close(stream);
    } catch (e) { return options; }
    for (const m of head.matchAll(/^0 option (difficulty|speed) (\S+)/gm)) options[m[1]] = m[2];
    return options;
  }
  let lit = 0;
  const rows = () => list.querySelectorAll('tbody tr[data-name]');
  function light(n) {
    const all = rows();
    if (!all.length) return;
    lit = Math.max(0, Math.min(all.length - 1, n));
    all.forEach((r, i) => r.classList.toggle('lit', i === lit));
    all[lit].scrollIntoView({block: 'nearest'});
  }
  async function watchReplay(name) {
    await persist();
    location.href = location.pathname + '?replay=' + encodeURIComponent(name);
  }
  // The game lists them (src/host/ReplayList.h), one line each: name,
  // start, difficulty, speed, best ("?" until found) and why it can't be played.
  function render(text) {
    const body = list.querySelector('tbody');
    body.textContent = '';
    for (const line of text.split('\n').filter(Boolean)) {
      const [name, when, difficulty, speed, best, ...why] = line.split('\t');
      const refused = why.join(' ');
      const tr = body.appendChild(document.createElement('tr'));
      const shown = [when, difficulty || '-', speed || '-', refused || (best === '?' ? '\u2026' : best)];
      for (const text of shown) tr.appendChild(document.createElement('td')).textContent = text;
      if (refused) {
        tr.className = 'refused';
        continue;
      }
      tr.dataset.name = name;
      tr.dataset.best = best;
      tr.addEventListener('click', () => watchReplay(name));
    }
    if (!body.children.length) body.innerHTML = '<tr><td colspan="4">No session is kept yet.</td></tr>';
    light(lit);
  }
  // Their best scores are found by replaying them, a slice at a time
  // between the game's frames, while the list is shown.
  function scoreSome() {
    if (list.hidden) return;
    const got = Module._morvek_score_replays(8);
    if (got === 1) render(call('morvek_listed_replays'));
    if (got >= 0) setTimeout(scoreSome, 4);
    else document.body.dataset.replaysScored = '1';
  }
  function showReplays() {
    lit = 0;
    delete document.body.dataset.replaysScored;
    render(call('morvek_list_replays', replays));
    list.hidden = false;
    list.tabIndex = -1;
    list.focus();
    setTimeout(scoreSome, 4);
  }
  list.addEventListener('keydown', e => {
    if (e.key === 'Escape') closeList();
    else if (e.key === 'ArrowDown') light(lit + 1);
    else if (e.key === 'ArrowUp') light(lit - 1);
    else if (e.key === 'Enter' || e.key === ' ') {
      const row = rows()[lit];
      if (row) watchReplay(row.dataset.name);
    } else return;
    e.preventDefault();
  });
  const closeList = () => {
    close(list);
    Module._morvek_close_replays();
  };
  document.getElementById('replays-close').addEventListener('click', closeList);
  document.getElementById('replays-open').addEventListener('click', () => { if (gameRuns()) showReplays(); });

  // Watching a kept replay: the page plays it as the recording it is, in
  // the window at its own pace, touching neither the table nor the
  // settings, and ends with it. Escape comes back to the game.
  function back() { location.href = location.pathname; }
  function replayArgs() {
    let text;
    try { text = FS.readFile(replays + '/' + replayName, {encoding: 'utf8'}); } catch (e) {
      return null;
    }
    const lines = withoutOutputs(text).split('\n');
    const last = lines.reduce((at, line) => Math.max(at, Number((line.match(/^\s*([0-9]+)\s/) || [])[1] || 0)), 0);
    // The session's end is where its player left it: the replay ends there.
    FS.writeFile('replay.txt', lines.join('\n') + `\n${last + 1000} close\n`);
    return ['--script', 'replay.txt'];
  }
  function replayShown(args) {
    document.body.classList.add('watching');
    const o = startsFrom(replayName);
    const who = args ? `Replay of ${began(replayName)} \u2014 ${o.difficulty}, ${o.speed}`
                     : 'This replay is no longer kept.';
    document.getElementById('who').textContent = who;
    document.getElementById('watching').textContent = 'Escape or the button leaves it';
    const again = document.getElementById('again');
    again.hidden = false;
    again.textContent = 'Back to the game';
    again.replaceWith(again.cloneNode(true)); // its reload is the watch's
    document.getElementById('again').addEventListener('click', back);
    window.addEventListener('keydown', e => { if (e.key === 'Escape') back(); }, true);
    document.title = who + ' \u00b7 Morvek';
  }

  return {
    replay: replayName !== null && replayFile.test(replayName),
    // The game's command line: a replay's in place of the player's own.
    prepare(args, driven) {
      if (driven) return args;
      Module.onAskName = askName;
      Module.onReplays = showReplays;
      Module.onGameFinished = () => persist();
      // Once the game has ended there is no one to answer the bar and the panels.
      for (const hook of ['onGameEnded', 'onAbort']) {
        const was = Module[hook];
        Module[hook] = (...told) => {
          Module.onlineReady = false;
          bar.hidden = nameForm.hidden = list.hidden = true;
          return was(...told);
        };
      }
      document.addEventListener('visibilitychange', () => { if (document.hidden) persist(); });
      if (!online.replay) return args;
      const played = replayArgs();
      replayShown(played);
      if (!played) {
        say('This replay is no longer kept.');
        return null;
      }
      let lastError = '';
      const printErr = Module.printErr;
      Module.printErr = text => {
        printErr(text);
        if (text.startsWith('morvek: ')) lastError = text.slice('morvek: '.length);
      };
      Module.onExit = async code => {
        Module.running = false;
        document.getElementById('watching').textContent =
          code === 0 ? 'The replay is over.' : 'The replay could not be played: ' + (lastError || 'exit ' + code) + '.';
        document.body.dataset.exit = String(code);
      };
      return played;
    },
    // The game runs: the player's choice is made its leaderboard.
    begun(driven) {
      if (driven || online.replay || !Module.running) return;
      Module.onlineReady = true;
      bar.hidden = false;
      useChoice();
      showName();
    },
  };
})();
