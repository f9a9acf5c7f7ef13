// The page as a player meets it, in one browser driven by puppeteer-core
// (Chromium over CDP, Firefox over WebDriver BiDi): loading, the menu, a
// game in play, the end. Prints what it found, one line a check, and a line
// "FAIL ..." for each fault; exits 1 on any. The browser has a window of its
// own on a virtual display (run under xvfb-run): only real keys, sent by
// xdotool, reach the browser's shortcuts, which synthetic ones never do.
//   node page_test.js --browser chromium|firefox --executable PATH --url URL [--shots DIR]
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const {execFileSync} = require('child_process');
const puppeteer = require('puppeteer-core');
const {sleep, toPage, click, waiter} = require('./frame_helpers');

const args = {};
for (let i = 2; i + 1 < process.argv.length; i += 2) args[process.argv[i].slice(2)] = process.argv[i + 1];
const browserName = args.browser;
const faults = [];
const fail = what => faults.push(`${browserName}: ${what}`);
// The longest the page may be held in one task while it loads, a few
// frames, and by the game's start (painting on the page's thread held it
// half a second and more). Firefox tells no long tasks: it is not checked
// there, its longest pause between frames is only shown.
const kLongestTaskMs = 100;
const kLongestStartMs = 250;

const inPlay = page => page.evaluate(() => Boolean(Module.running && Module._morvek_in_play()));
const waitFor = waiter(fail, 15000);
const until = (page, what, test, ms) => waitFor(what, test, ms);
const shown = (page, selector) => page.$eval(selector, e => getComputedStyle(e).display !== 'none' &&
                                                           getComputedStyle(e).visibility !== 'hidden');

// Whether the keys (as xdotool names them) printed or reloaded the page, as
// the page itself saw it.
async function pressed(page, keys) {
  await page.evaluate(() => { window.printed = 0; window.stayed = true; });
  execFileSync('xdotool', ['key', keys]);
  await sleep(1500);
  return page.evaluate(() => ({printed: window.printed, reloaded: window.stayed !== true}))
             .catch(() => ({printed: 0, reloaded: true}));
}

// Opens the page and follows its loading to the first frame.
async function visit(page, label, go) {
  const started = Date.now();
  const steps = new Set();
  let loadingShot = Boolean(args.shots);
  await go();
  while (Date.now() - started < 60000) {
    const seen = await page.evaluate(() => [document.getElementById('step')?.textContent,
                                            document.body?.dataset.firstFrameMs]).catch(() => []);
    if (seen[0]) steps.add(seen[0]);
    if (loadingShot && seen[0] && seen[0].startsWith('Drawing')) {
      loadingShot = false;
      await page.screenshot({path: path.join(args.shots, `${browserName}-loading.png`)});
    }
    if (seen[1]) break;
    await sleep(30);
  }
  const first = Number(await page.evaluate(() => document.body.dataset.firstFrameMs));
  await sleep(300); // the browser tells of a long task only after it
  const state = await page.evaluate(() => {
    // The longest task while the page loaded, and the game's start, the one
    // task under way when the page called the game.
    const longest = tasks => Math.max(0, ...tasks.map(([, ms]) => ms));
    const at = Module.gameStartAt;
    return {
      media: document.body.dataset.media,
      longest: window.longestPause,
      task: window.tasks ? longest(window.tasks.filter(([start, ms]) => start + ms <= at)) : null,
      start: window.tasks ? longest(window.tasks.filter(([start, ms]) => start <= at && at < start + ms)) : null,
    };
  });
  const tasks = state.task === null ? 'no long tasks told by this browser' :
                `longest task ${Math.round(state.task)} ms, the game's start ${Math.round(state.start)} ms`;
  console.log(`${browserName}: ${label}: first menu frame ${first} ms, pictures ${state.media}, ` +
              `longest pause of the page ${Math.round(state.longest)} ms, ${tasks}; ` +
              `said: ${[...steps].join(' | ')}`);
  return {first, ...state, steps: [...steps]};
}

async function hold(page, key, ms = 300) {
  await page.keyboard.down(key);
  await sleep(ms);
  await page.keyboard.up(key);
}

async function main() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), `morvek-${browserName}-`));
  const firefox = browserName === 'firefox';
  const browser = await puppeteer.launch({
    browser: firefox ? 'firefox' : 'chrome',
    executablePath: args.executable,
    headless: false,
    userDataDir: profile,
    defaultViewport: {width: 1024, height: 768},
    args: firefox ? [] : ['--no-sandbox', '--window-size=1024,900', '--disable-gpu', '--no-first-run', '--disable-background-networking',
                          '--disable-component-update', '--disable-sync', '--autoplay-policy=user-gesture-required'],
  });
  const console_ = [];
  try {
    const page = await browser.newPage();
    page.on('console', m => console_.push([m.type(), m.text()]));
    page.on('pageerror', e => console_.push(['uncaught', String(e && e.message || e)]));
    const dialogs = [];
    page.on('dialog', async d => { dialogs.push(d.type()); await d.dismiss().catch(() => {}); });
    // What the page does, seen from inside: printing, and how long the page
    // went without a frame while it loaded.
    await page.evaluateOnNewDocument(() => {
      window.addEventListener('beforeprint', () => { window.printed = (window.printed || 0) + 1; });
      window.longestPause = 0;
      let last = performance.now();
      const tick = now => {
        window.longestPause = Math.max(window.longestPause, now - last);
        last = now;
        if (!document.body || !document.body.dataset.firstFrameMs) requestAnimationFrame(tick);
      };
      requestAnimationFrame(tick);
      // Firefox tells no long tasks: there the pauses between frames must do.
      if ((PerformanceObserver.supportedEntryTypes || []).includes('longtask')) {
        window.tasks = [];
        new PerformanceObserver(list => {
          for (const e of list.getEntries()) window.tasks.push([e.startTime, e.duration]);
        }).observe({type: 'longtask'});
      }
    });

    const first = await visit(page, 'first visit', () => page.goto(args.url));
    if (first.media !== 'drawn' || !first.steps.some(s => s.startsWith('Drawing the'))) {
      fail(`the first visit showed no drawing in progress (${first.steps.join(' | ')})`);
    }
    // The pictures are drawn in workers: the page's own thread must never be
    // held long while it loads. The game's start, which reads all 43 MB of
    // them in one call, may take longer, but not as long as a painter would.
    if (first.task !== null && first.task > kLongestTaskMs) {
      fail(`the first visit held the page ${Math.round(first.task)} ms in one task while it loaded`);
    }
    if (first.start !== null && first.start > kLongestStartMs) {
      fail(`the game's start held the page ${Math.round(first.start)} ms on the first visit`);
    }
    if (args.shots) await page.screenshot({path: path.join(args.shots, `${browserName}-menu.png`)});
    if (!await page.$eval('link[rel=icon]', l => l.href.startsWith('blob:') && l.type === 'image/png')) {
      fail('the page has not the game\'s icon');
    }
    if (!await shown(page, '#full') || !await shown(page, '#about')) {
      fail('the menu shows no full-screen button or version line');
    }

    // The first visit's pictures are written to storage after its menu shows.
    await until(page, 'the pictures kept',
                () => page.evaluate(() => document.body.dataset.picturesKept === '1'), 30000);
    const second = await visit(page, 'second visit', () => page.reload());
    if (second.media !== 'kept') fail(`the second visit drew its pictures again (${second.media})`);
    if (!(second.first < first.first)) fail('the second visit was not faster than the first');
    if (dialogs.length) fail(`leaving the menu asked first (${dialogs})`);

    // A game: the menu's first button starts it.
    await click(page, 175, 175);
    if (!await until(page, 'the game after a click on New game', () => inPlay(page))) return;
    await sleep(300);
    if (await shown(page, '#full') || await shown(page, '#about')) {
      fail('the full-screen button or the version line shows in play');
    }
    for (const keys of ['ctrl+p', 'ctrl+s', 'F5', 'ctrl+r']) {
      const got = await pressed(page, keys);
      if (got.printed || got.reloaded) {
        fail(`${keys} in play ${got.printed ? 'printed' : 'reloaded the page'}`);
        if (got.reloaded) return;
      }
    }
    if (!await inPlay(page)) fail('the game left play on the browser\'s keys');
    await hold(page, 'm');
    if (!await until(page, 'the sound\'s note on M', () => page.evaluate(
        () => /^SOUND (ON|OFF)$/.test(document.body.dataset.note || '')), 3000)) {
      // told above
    }
    if (args.shots) await page.screenshot({path: path.join(args.shots, `${browserName}-play.png`)});
    await page.evaluate(() => { window.stayed = true; });
    page.evaluate(() => location.reload()).catch(() => {});
    await sleep(1500);
    if (!dialogs.includes('beforeunload')) fail('a reload in play did not ask first');
    if (!await page.evaluate(() => window.stayed === true).catch(() => false)) {
      fail('the page reloaded in play, though asked to stay');
      return;
    }
    dialogs.length = 0;

    // Given up (Escape), past the game over and the name, to the menu's End.
    // Ctrl+P paused the game (Ctrl is its barrier, P its pause): on again.
    await hold(page, 'p');
    await hold(page, 'Escape');
    await until(page, 'the game over on Escape', async () => !await inPlay(page));
    await sleep(1500);
    await click(page, 930, 685);
    await sleep(1500);
    if (await inPlay(page)) { // the name of a highscore
      for (const k of ['w', 'e', 'b']) await hold(page, k, 100);
      // As web/menu-to-game-over.txt saves it: Return held over its button.
      const [x, y] = await toPage(page, 90, 685);
      await page.mouse.move(x, y);
      await page.mouse.down();
      await hold(page, 'Enter', 100);
      await page.mouse.up();
      await sleep(500);
      await hold(page, 'Enter', 100); // on from the table the save shows
      await until(page, 'the menu after the name', async () => !await inPlay(page));
    }
    await sleep(1500);
    await click(page, 175, 575);
    if (!await until(page, 'Play again after End', () => shown(page, '#play'))) {
      if (args.shots) await page.screenshot({path: path.join(args.shots, `${browserName}-no-end.png`)});
      return;
    }
    if (args.shots) await page.screenshot({path: path.join(args.shots, `${browserName}-end.png`)});
    await page.click('#play');
    await until(page, 'the menu after Play again',
                () => page.evaluate(() => Boolean(document.body.dataset.firstFrameMs)), 30000);
    if (dialogs.length) fail(`Play again asked before leaving (${dialogs})`);
    // The menus leave the browser its keys: Ctrl+P prints. This is also
    // what shows that the test sees a print at all.
    const onMenu = await pressed(page, 'ctrl+p');
    if (onMenu.printed === 0) fail('Ctrl+P on the menu did not print');
    console.log(`${browserName}: Play again restarts the game; browser keys and the question ` +
                'before leaving as they should be');
  } finally {
    await browser.close().catch(() => {});
    fs.rmSync(profile, {recursive: true, force: true});
    for (const [type, text] of console_) {
      if (type === 'error' || type === 'uncaught') fail(`the console says (${type}): ${text}`);
      else if (!text.trim()) fail(`an empty ${type} line in the console`);
    }
  }
}

main().catch(e => fail(`the test stopped: ${e && e.stack || e}`)).finally(() => {
  for (const f of faults) console.log('FAIL', f);
  process.exit(faults.length ? 1 : 0);
});
