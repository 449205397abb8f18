// Measures the browser edition in headless chromium: node web-measure.mjs PAGE_DIR [SECONDS].
// What the page loads (bytes, and after gzip), start to first frame (navigation start to the
// first frame on the canvas, five loads), and at 1000 x 700 and 1920 x 1080 the CPU time of all
// the browser's processes while the game plays, beside a floor in the same run: a page that
// puts a full frame of the game's canvas size with putImageData 40 times a second. Game and
// floor take turns, three rounds of SECONDS (20 by default) each; medians, and the game's
// ticks a second.
import { readdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';
import { servePage, launchBrowser, openGame, waitFor } from '../tests/web/lib.mjs';

const [pageDir, secondsArg] = process.argv.slice(2);
const seconds = +(secondsArg || 20);
const rounds = 3;

let raw = 0, gzipped = 0;
const loaded = ['index.html', 'index.js', 'index.wasm'];
for (const name of loaded) {
  const bytes = readFileSync(join(pageDir, name));
  raw += bytes.length;
  gzipped += gzipSync(bytes, { level: 9 }).length;
}
console.log(`page: ${raw} bytes, ${gzipped} after gzip -9 (${loaded.join(', ')})`);

// CPU seconds of a process and its descendants, from /proc.
function cpuOfTree(root) {
  const children = {};
  const times = {};
  for (const pid of readdirSync('/proc').filter((n) => /^\d+$/.test(n))) {
    try {
      const stat = readFileSync(`/proc/${pid}/stat`, 'utf8');
      const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      const ppid = +fields[1];
      (children[ppid] = children[ppid] || []).push(+pid);
      times[pid] = (+fields[11] + +fields[12]) / 100;
    } catch {
      // The process ended meanwhile.
    }
  }
  let total = 0;
  const walk = (pid) => {
    total += times[pid] || 0;
    for (const c of children[pid] || []) walk(c);
  };
  walk(root);
  return total;
}

// The floor: a full frame put 40 times a second, each due time taken from the clock as the
// game's ticks are.
function floorPage(width, height) {
  return `<!doctype html><body style="margin:0;overflow:hidden"><canvas width="${width}" height="${height}"></canvas>
<script>
  const context = document.querySelector('canvas').getContext('2d', { alpha: false });
  const image = context.createImageData(${width}, ${height});
  const start = performance.now();
  let done = 0;
  window.puts = () => done;
  const step = () => {
    done++;
    image.data[(done * 4) % image.data.length] ^= 0xff;
    context.putImageData(image, 0, 0);
    setTimeout(step, Math.max(0, start + (done + 1) * 25 - performance.now()));
  };
  setTimeout(step, 25);
</script>`;
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

const server = await servePage(pageDir);
const { browser, close } = await launchBrowser();
try {
  const starts = [];
  for (let i = 0; i < 5; i++) {
    const { page } = await openGame(browser, server.url);
    starts.push(await page.evaluate(() => window.vexlor.firstFrame()));
    await page.close();
  }
  console.log(`start to first frame: ${starts.map((s) => s.toFixed(0)).join(', ')} ms`);

  const pid = browser.process().pid;
  // CPU of the browser a second over the measuring time, and frames a second by count().
  const cpuWhile = async (page, count) => {
    const before = cpuOfTree(pid), n0 = await page.evaluate(count), t0 = Date.now();
    await new Promise((r) => setTimeout(r, seconds * 1000));
    const n1 = await page.evaluate(count), cpu = (cpuOfTree(pid) - before) / seconds;
    return { cpu, rate: ((n1 - n0) * 1000) / (Date.now() - t0) };
  };
  for (const [width, height] of [[1000, 700], [1920, 1080]]) {
    const games = [], floors = [], rates = [], floorRates = [];
    let canvas;
    for (let round = 0; round < rounds; round++) {
      const { page } = await openGame(browser, server.url, null, (p) => p.setViewport({ width, height }));
      canvas = await page.$eval('canvas', (c) => [c.width, c.height]);
      const game = await cpuWhile(page, () => window.vexlor.ticks());
      games.push(game.cpu);
      rates.push(game.rate);
      await page.close();
      const floor = await browser.newPage();
      await floor.setViewport({ width, height });
      await floor.setContent(floorPage(canvas[0], canvas[1]));
      await floor.bringToFront();
      await waitFor('the floor putting frames', () => floor.evaluate(() => window.puts() > 10));
      const put = await cpuWhile(floor, () => window.puts());
      floors.push(put.cpu);
      floorRates.push(put.rate);
      await floor.close();
    }
    const g = median(games), f = median(floors);
    console.log(`${width} x ${height} (canvas ${canvas[0]} x ${canvas[1]}): game ${g.toFixed(3)} s a second ` +
                `(rounds ${games.map((v) => v.toFixed(3)).join(', ')}), floor ${f.toFixed(3)} ` +
                `(${floors.map((v) => v.toFixed(3)).join(', ')}): ${(g / f).toFixed(2)} x the floor; ` +
                `${median(rates).toFixed(2)} ticks and ${median(floorRates).toFixed(2)} floor frames a second`);
  }
} finally {
  await close();
  server.close();
}
