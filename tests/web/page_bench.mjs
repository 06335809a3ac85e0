// page_bench.mjs - the page's figures for bench/RESULTS.md, in headless
// Chromium; run by scripts/bench-web, never by the tests.
//
//   node page_bench.mjs --site URL
//
// Prints key=value lines:
//  - first_frame_ms: navigation to the first frame drawn (the page's
//    performance.now() when the program reports it), cache off, median of 5;
//  - bytes: everything one load of the page fetches, and the largest file;
//    gzip_bytes: the same, each file compressed with gzip at level 6, as a
//    static host sends it compressed;
//  - edit_ms: from the last keystroke of a good edit typed into the editor
//    (a line opened in the spiral scene) to the first animation frame
//    that shows it, the pause before the check included; median of 5;
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
import { gzipSync } from 'node:zlib';
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
let bytes = 0, gzipBytes = 0, largest = '';
for (let run = 0; run < 5; ++run) {
  const page = await browser.newPage();
  await page.setCacheEnabled(false);
  const sizes = [];
  page.on('response', async (response) => {
    try {
      const body = await response.buffer();
      sizes.push([response.url().replace(site, ''), body.length, gzipSync(body, { level: 6 }).length]);
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
    gzipBytes = sizes.reduce((sum, [, , size]) => sum + size, 0);
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
console.log(`gzip_bytes=${gzipBytes}`);
console.log(`largest=${largest}`);
// The edit's last key is typed after a watcher is set: the time of the
// key's press, then the first animation frame whose presented count passed
// the one at the play.
const edits = [];
{
  const page = await browser.newPage();
  await page.goto(site + '?scene=spiral&start-frame=600', { waitUntil: 'load' });
  await until(page, () => vorpane.presented() >= 30);
  for (let run = 0; run < 5; ++run) {
    await page.click('#editor', { offset: { x: 80, y: 10 } });
    await page.keyboard.down('Control');
    await page.keyboard.press('Home');
    await page.keyboard.up('Control');
    await page.keyboard.type(`# edit ${run}`);
    await new Promise((resolve) => setTimeout(resolve, 600));
    const played = await page.evaluate(() => vorpane.edits());
    await page.evaluate(() => {
      // On the document: the page hears the window's key listeners only for the show.
      document.addEventListener('keydown', () => { window.keyAt = performance.now(); }, { once: true, capture: true });
    });
    await page.keyboard.type('\n');
    const ms = await page.evaluate((played) => new Promise((resolve) => {
      const watch = (time) => {
        if (vorpane.edits() > played && vorpane.presented() > vorpane.playedPresented()) resolve(time - window.keyAt);
        else requestAnimationFrame(watch);
      };
      requestAnimationFrame(watch);
    }), played);
    edits.push(ms);
    await new Promise((resolve) => setTimeout(resolve, 600));
  }
  await page.close();
}
console.log(`edit_ms=${median(edits).toFixed(0)}`);
console.log(`edit_runs=${edits.map((ms) => ms.toFixed(0)).join(' ')}`);

for (const [name, query] of [['start', ''], ['full', '?start-frame=3726']]) {
  const figures = await intervals(query);
  for (const [key, value] of Object.entries(figures)) console.log(`${name}_${key}=${value}`);
}
await browser.close();
rmSync(profile, { recursive: true, force: true });
