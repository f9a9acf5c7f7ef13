// The page sends a game it played to the leaderboard that serves it, in
// headless Chromium driven by puppeteer-core: the choice under the frame,
// a short game given up, the name asked in the page's own form (whose keys
// the game must never hear), the run followed on the server until it is
// verified. Writes the page's kept replay and the server's run to --out for
// web/browser_test.py, which replays them natively; then the page comes
// back with its choice, its name and its replays, and plays one.
// Prints one line a check, "FAIL ..." for each fault; exits 1 on any.
//   node online_test.js --executable PATH --url http://127.0.0.1:PORT/play/ --out DIR [--shots DIR]
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');
const {sleep, click, waiter} = require('./frame_helpers');

const args = {};
for (let i = 2; i + 1 < process.argv.length; i += 2) args[process.argv[i].slice(2)] = process.argv[i + 1];
const faults = [];
const fail = what => faults.push(`online: ${what}`);
const until = waiter(fail, 20000);
const inPlay = page => page.evaluate(() => Boolean(Module.running && Module._morvek_in_play()));
const visible = (page, selector) => page.$eval(selector, e => !e.hidden && e.getClientRects().length > 0);
const data = (page, key) => page.evaluate(k => document.body.dataset[k], key);
// The session's replay as the page keeps it, and its size.
const replay = page => page.evaluate(() => {
  const names = FS.readdir('/save/replays').filter(n => n.endsWith('.txt')).sort();
  const name = names[names.length - 1];
  return {name, count: names.length, text: FS.readFile('/save/replays/' + name, {encoding: 'utf8'})};
});
async function shot(page, name) {
  if (args.shots) await page.screenshot({path: path.join(args.shots, `online-${name}.png`)});
}

async function firstFrame(page) {
  await until('the first frame', () => page.evaluate(() => Boolean(document.body.dataset.firstFrameMs)), 90000);
}

async function main() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'morvek-online-'));
  const browser = await puppeteer.launch({
    executablePath: args.executable, headless: true, userDataDir: profile,
    defaultViewport: {width: 1024, height: 800},
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync'],
  });
  const console_ = [];
  try {
    const page = await browser.newPage();
    page.on('console', m => console_.push([m.type(), m.text()]));
    page.on('pageerror', e => console_.push(['uncaught', String(e && e.message || e)]));
    await page.goto(args.url);
    await firstFrame(page);

    // Nothing is sent until the player chooses it.
    if (!await visible(page, '#send-games') || await page.$eval('#send-games', e => e.checked)) {
      fail('the page shows no unticked choice to send games');
    }
    if (await data(page, 'leaderboard') !== '') fail('the page has a leaderboard before it was chosen');
    await page.click('#send-games');
    if (!await until('the name asked once sending is chosen', () => visible(page, '#name-form'), 3000)) return;
    await shot(page, 'name');
    // Left without a name: the game's run waits for one and asks at its end.
    await page.keyboard.press('Escape');
    if (await visible(page, '#name-form')) fail('Escape did not leave the name form');
    const address = new URL('..', args.url).href.replace(/\/$/, '');
    if (await data(page, 'leaderboard') !== address) {
      fail(`the page's leaderboard is ${await data(page, 'leaderboard')}, not ${address}`);
    }

    // A short game: a few shots, then given up.
    await click(page, 175, 175);
    if (!await until('the game after a click on New game', () => inPlay(page))) return;
    await page.keyboard.down('Space');
    for (const y of [300, 500, 400, 250, 550]) {
      await page.mouse.move(500, y, {steps: 10});
      await sleep(900);
    }
    await page.keyboard.up('Space');
    await page.keyboard.press('Escape');
    if (!await until('the name asked after the game', async () => await data(page, 'nameAsked') === '2' &&
                     visible(page, '#name-form'), 15000)) {
      await shot(page, 'no-name');
      return;
    }
    // What is typed into the form is the page's: the game hears none of it,
    // and its recording takes no event meanwhile. The Escape that gave the
    // game up goes up for it first.
    await sleep(500);
    const before = await replay(page);
    await page.keyboard.type('page1 x');
    await sleep(300);
    if (await page.$eval('#name-typed', e => e.value) !== 'PAGEX') {
      fail(`the form took ${await page.$eval('#name-typed', e => e.value)} of "page1 x"`);
    }
    await page.keyboard.press('Backspace');
    await page.keyboard.press('Enter');
    await sleep(300);
    if (await visible(page, '#name-form')) fail('Return did not keep the name');
    const after = await replay(page);
    if (after.text !== before.text) {
      fail(`the game took keys typed into the name form: ${JSON.stringify(after.text.slice(before.text.length, before.text.length + 200))}`);
    }
    if (!(await page.$eval('#online-name', e => e.textContent)).includes('PAGE')) {
      fail(`the page shows "${await page.$eval('#online-name', e => e.textContent)}" for the name`);
    }

    // Sent by the page to its own server, which replays it.
    let run = null;
    await until('the run verified by the server', async () => {
      run = await page.evaluate(async () => {
        const got = await fetch('../api/v1/runs/1', {cache: 'no-store'});
        return got.ok ? got.json() : null;
      });
      return run && run.status !== 'pending';
    }, 60000);
    const kept = await replay(page);
    fs.writeFileSync(path.join(args.out, 'replay.txt'), kept.text);
    fs.writeFileSync(path.join(args.out, 'run.json'), JSON.stringify(run));
    console.log(`online: the page sent its game to its server: run 1 ${run && run.status}, ` +
                `name ${run && run.name}, score ${run && run.score}`);

    // Back later: the choice, the name and the session are kept.
    await page.reload();
    await firstFrame(page);
    await sleep(300);
    if (!await page.$eval('#send-games', e => e.checked) || await data(page, 'leaderboard') !== address) {
      fail('the choice to send games was not kept over a reload');
    }
    if (!(await page.$eval('#online-name', e => e.textContent)).includes('PAGE')) {
      fail('the name was not kept over a reload');
    }
    // Asked for by the game's own highscore screen, as the native Replays screen is.
    await click(page, 175, 370);
    await sleep(1000);
    await click(page, 265, 687);
    if (!await until('the list of replays from the highscore screen', () => visible(page, '#replay-list'), 5000)) {
      await shot(page, 'no-replays');
      return;
    }
    const rows = await page.$$eval('#replay-list tbody tr[data-name]', trs => trs.map(t => t.dataset.name));
    if (rows.length !== 2 || rows[1] !== kept.name) {
      fail(`the replays listed are ${rows}, not this visit's and ${kept.name}`);
    }
    // Their best scores found by replaying them in the page: the game sent
    // scored what the server placed it at, this visit's session none yet.
    const scoring = Date.now();
    await until('the replays scored', async () => await data(page, 'replaysScored') === '1', 20000);
    const scored = Date.now() - scoring;
    const best = await page.$$eval('#replay-list tbody tr[data-name]', trs => trs.map(t => t.dataset.best));
    if (best[0] !== '-' || best[1] !== String(run && run.score)) {
      fail(`the replays' best scores are listed as ${best}, not -,${run && run.score}`);
    }
    await shot(page, 'replays');
    // The one played before: watched in the frame, left with Escape.
    await page.keyboard.press('ArrowDown');
    await page.keyboard.press('Enter');
    await until('the replay watched', async () => (await page.evaluate(() => location.search)).includes('replay=') &&
                (await page.$eval('#who', e => e.textContent)).startsWith('Replay of') &&
                page.evaluate(() => Boolean(document.body.dataset.firstFrameMs)), 30000);
    await sleep(2000);
    await shot(page, 'replay');
    await page.keyboard.press('Escape');
    await until('the game after the replay', async () => (await page.evaluate(() => location.search)) === '' &&
                page.evaluate(() => Boolean(document.body.dataset.firstFrameMs)), 30000);
    console.log(`online: back over a reload with its choice, name and ${rows.length} replays, ` +
                `scored in ${scored} ms; one watched`);
  } finally {
    await browser.close().catch(() => {});
    fs.rmSync(profile, {recursive: true, force: true});
    for (const [type, text] of console_) {
      if (type === 'error' || type === 'uncaught') fail(`the console says (${type}): ${text}`);
    }
  }
}

main().catch(e => fail(`the test stopped: ${e && e.stack || e}`)).finally(() => {
  for (const f of faults) console.log('FAIL', f);
  process.exit(faults.length ? 1 : 0);
});
