// Measures the browser edition in headless chromium: node web-measure.mjs PAGE_DIR [SECONDS].
// What the page loads (bytes, and after gzip), start to first frame (navigation start to the
// first frame on the canvas, five loads), ticks a second over SECONDS (60 by default), and the
// CPU time of all the browser's processes while the game plays beside that of a blank page.
import { readdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';
import { servePage, launchBrowser, openGame } from '../tests/web/lib.mjs';

const [pageDir, secondsArg] = process.argv.slice(2);
const seconds = +(secondsArg || 60);

let raw = 0, gzipped = 0;
for (const name of readdirSync(pageDir)) {
  const bytes = readFileSync(join(pageDir, name));
  raw += bytes.length;
  gzipped += gzipSync(bytes, { level: 9 }).length;
}
console.log(`page: ${raw} bytes, ${gzipped} after gzip -9 (${readdirSync(pageDir).join(', ')})`);

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
  const blank = await browser.newPage();
  let before = cpuOfTree(pid);
  await new Promise((r) => setTimeout(r, 10000));
  const idle = (cpuOfTree(pid) - before) / 10;
  await blank.close();

  const { page } = await openGame(browser, server.url);
  before = cpuOfTree(pid);
  const rate = await page.evaluate(async (s) => {
    const t0 = performance.now(), n0 = window.vexlor.ticks();
    await new Promise((r) => setTimeout(r, s * 1000));
    return ((window.vexlor.ticks() - n0) * 1000) / (performance.now() - t0);
  }, seconds);
  const playing = (cpuOfTree(pid) - before) / seconds;
  console.log(`ticks: ${rate.toFixed(2)} a second over ${seconds} s`);
  console.log(`CPU of the browser: ${playing.toFixed(3)} s a second while playing (900 x 700 viewport), ` +
              `${idle.toFixed(3)} s a second with a blank page`);
} finally {
  await close();
  server.close();
}
