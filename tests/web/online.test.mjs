// The page joining a desktop host: node online.test.mjs PAGE_DIR join VEXLOR. The desktop game
// hosts under Xvfb with its state log; the page joins through ?join= into seat 2, and Left held
// on the page turns ship 2 again and again in the host's game. When the host goes, the page
// says why and plays on alone.
import { spawn } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { openGame, waitFor, fail, runCheck } from './lib.mjs';

const checks = {
  async join(browser, url) {
    const dir = mkdtempSync(join(tmpdir(), 'vexlor-online-'));
    const env = { ...process.env, VEXLOR_STATE_LOG: join(dir, 'state') };
    const host = spawn('xvfb-run', ['-a', process.argv[4], '--host', '0'], { env, detached: true });
    let said = '';
    host.stdout.on('data', (d) => { said += d; });
    // Ship 2's heading and autopilot on the host's last line (src/arena/StateLog.h).
    const seat2 = () => readFileSync(env.VEXLOR_STATE_LOG, 'utf8').trimEnd().split('\n').pop().split(' ').slice(18, 29);
    try {
      const [, port, room] = await waitFor('a room', () => said.match(/hosting ws:\/\/.*:(\d+)\/(\w+)/), 20000);
      const { page, errors } = await openGame(browser, `${url}?join=127.0.0.1:${port}/${room}`);
      await waitFor('the page to take seat 2', () => seat2()[10] === '0', 20000);
      let heading = seat2().slice(4, 6).join();
      await page.keyboard.down('ArrowLeft');
      for (let turns = 0; turns < 3; turns++)
        await waitFor('Left on the page to turn ship 2', () => heading !== (heading = seat2().slice(4, 6).join()));
      await page.keyboard.up('ArrowLeft');
      process.kill(-host.pid);
      await waitFor('the page to say the relay is gone', () => page.$$eval('.vx-static', (s) => s.some((e) =>
        e.textContent.includes('the relay is gone') && e.textContent.endsWith('Local play goes on.'))));
      const ticks = await page.evaluate(() => window.vexlor.ticks());
      await waitFor('local play to go on', () => page.evaluate((t) => window.vexlor.ticks() > t + 40, ticks));
      if (errors.length) fail(`page errors: ${errors}`);
    } finally {
      try { process.kill(-host.pid); } catch {}
      rmSync(dir, { recursive: true, force: true });
    }
  },
};

await runCheck(checks);
