// What the page's tests in a browser share: clicks at the frame's own
// pixels, wherever its canvas is scaled, and waiting for a condition.
'use strict';

const sleep = ms => new Promise(done => setTimeout(done, ms));

// Frame pixels to the page's: the frame sits letterboxed in its canvas.
async function toPage(page, x, y) {
  return page.evaluate((x, y) => {
    const c = document.getElementById('canvas');
    const r = c.getBoundingClientRect();
    const scale = Math.min(r.width / c.width, r.height / c.height);
    return [r.left + (r.width - c.width * scale) / 2 + x * scale,
            r.top + (r.height - c.height * scale) / 2 + y * scale];
  }, x, y);
}

async function click(page, x, y) {
  const [px, py] = await toPage(page, x, y);
  await page.mouse.click(px, py);
}

// until(what, test, ms): whether `test` held within `ms`, polled every
// 50 ms; a test that throws has not held yet. Told to `fail` when it never did.
function waiter(fail, defaultMs) {
  return async (what, test, ms = defaultMs) => {
    const end = Date.now() + ms;
    while (Date.now() < end) {
      if (await test().catch(() => false)) return true;
      await sleep(50);
    }
    fail(`${what}: not within ${ms / 1000} s`);
    return false;
  };
}

module.exports = {sleep, toPage, click, waiter};
