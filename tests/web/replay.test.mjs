// Opening a replay on the page, in headless chromium: node replay.test.mjs PAGE_DIR open.
// A file that is not a replay is refused with one line on the page; a replay plays to its end.
import { mkdtempSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { openGame, waitFor, fail, runCheck } from './lib.mjs';

// 99 ticks from seed 5 at second 1 700 000 000: the first sizes the arena at 800 x 600, the
// rest repeat it in a run.
const replay = Buffer.from([0x56, 0x58, 0x52, 0x50, 1, 0, 1, 1, 0, 0, 99, 0, 0, 0, 5, 0, 0, 0, 0x00, 0xf1, 0x53, 0x65,
  0x04, 0x20, 0x03, 0x58, 0x02, 0x80 | 98]);

const checks = {
  async open(browser, url) {
    const dir = mkdtempSync(join(tmpdir(), 'vexlor-replay-'));
    writeFileSync(join(dir, 'notes.vxr'), 'not a replay at all');
    writeFileSync(join(dir, 'short.vxr'), replay);
    const { page, errors } = await openGame(browser, url);
    const said = [];
    page.on('console', (m) => said.push(m.text()));
    const picker = await page.$('input[type=file]');
    await picker.uploadFile(join(dir, 'notes.vxr'));
    const refusal = await waitFor('the refusal', () => page.$eval('.vx-replay-message', (e) => !e.hidden && e.textContent));
    if (refusal !== 'notes.vxr: not a Vexlor replay') fail(`refused with "${refusal}"`);
    await picker.uploadFile(join(dir, 'short.vxr'));
    await waitFor('the replay to end', () => said.some((s) => s.includes('the replay ended after 99 ticks')), 15000);
    if (!(await page.$eval('.vx-replay-message', (e) => e.hidden))) fail('the refusal stayed');
    if (errors.length) fail(`page errors: ${errors}`);
  },
};

await runCheck(checks);
