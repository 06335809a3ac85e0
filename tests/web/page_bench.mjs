// page_bench.mjs - the page's figures for bench/RESULTS.md, in headless
// Chromium; run by scripts/bench-web, never by the tests.
//
//   node page_bench.mjs --site URL
//
// Prints key=value lines:
//  - first_frame_ms: navigation to the first frame drawn (the page's
//    performance.now() when the program reports it), cache off, median of 5;
//  - bytes: everything one load of the page fetches, and the largest file;
//  - start_*, full_*: the show stepped at its own rate for 601 frames from
//    frame 1 (a few dozen sprites) and from frame 3726 (the first with all
//    1,024 bullets in flight), each step's time taken from the animation
//    frame it appeared in (a watcher added after the program's own
//    callback): 600 intervals, their mean, the 99th percentile and the
//    largest of |interval - 1/60 s|, and the most steps in one animation
//    frame (1: nothing caught up).
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import puppeteer from 'puppeteer-core';

const site = process.argv[process.argv.indexOf('--site') + 1];
const profile = mkdtempSync(join(tmpdir(), 'vorpane-chromium-'));
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium',
  headless: true,
  userDataDir: profile,
  args: ['--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-sandbox', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync', '--disable-quic'],
});
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const until = (page, test) => page.waitForFunction(test, { polling: 50, timeout: 30000 });

const firsts = [];
let bytes = 0, largest = '';
for (let run = 0; run < 5; ++run) {
  const page = await browser.newPage();
  await page.setCacheEnabled(false);
  const sizes = [];
  page.on('response', async (response) => {
    try {
      sizes.push([response.url().replace(site, ''), (await response.buffer()).length]);
    } catch {
      // a response without a body (a redirect) weighs nothing here
    }
  });
  await page.goto(site, { waitUntil: 'load' });
  await until(page, () => vorpane.firstFrameMs() !== null);
  firsts.push(await page.evaluate(() => vorpane.firstFrameMs()));
  if (run === 0) {
    await until(page, () => vorpane.presented() >= 10);
    bytes = sizes.reduce((sum, [, size]) => sum + size, 0);
    const [name, size] = sizes.reduce((a, b) => (b[1] > a[1] ? b : a));
    largest = `${name} ${size}`;
  }
  await page.close();
}

// 600 intervals between steps from `query`, each step timed by the animation
// frame it appeared in.
async function intervals(query) {
  const page = await browser.newPage();
  await page.goto(site + query, { waitUntil: 'load' });
  await until(page, () => vorpane.presented() >= 30);
  const stamps = await page.evaluate(() => new Promise((resolve) => {
    const seen = [];
    let last = vorpane.presented();
    const watch = (time) => {
      const presented = vorpane.presented();
      if (presented !== last) {
        seen.push([time, presented - last]);
        last = presented;
      }
      if (seen.length < 601) requestAnimationFrame(watch);
      else resolve(seen);
    };
    requestAnimationFrame(watch);
  }));
  await page.close();
  const gaps = stamps.slice(1).map(([time], i) => time - stamps[i][0]);
  const off = gaps.map((gap) => Math.abs(gap - 1000 / 60)).sort((a, b) => a - b);
  return {
    mean: (gaps.reduce((a, b) => a + b, 0) / gaps.length).toFixed(3),
    p99: off[Math.floor(off.length * 0.99)].toFixed(3),
    max: off[off.length - 1].toFixed(3),
    most: Math.max(...stamps.map(([, steps]) => steps)),
  };
}

console.log(`first_frame_ms=${median(firsts).toFixed(0)}`);
console.log(`first_frame_runs=${firsts.map((ms) => ms.toFixed(0)).join(' ')}`);
console.log(`bytes=${bytes}`);
console.log(`largest=${largest}`);
for (const [name, query] of [['start', ''], ['full', '?start-frame=3726']]) {
  const figures = await intervals(query);
  for (const [key, value] of Object.entries(figures)) console.log(`${name}_${key}=${value}`);
}
await browser.close();
rmSync(profile, { recursive: true, force: true });
