// The page joining a desktop host: node online.test.mjs PAGE_DIR join VEXLOR. The desktop game
// hosts under Xvfb with its state log; the page joins through ?join= and the test proxy (50 ms
// between the machines, jitter and stalls) into seat 2, and Left held on the page turns ship 2
// again and again in the host's game, neither machine out of step with the other. When the
// way to the relay goes, the page says why and plays on alone.
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
    let said = '', proxySaid = '', complaints = '', proxy;
    host.stdout.on('data', (d) => { said += d; });
    host.stderr.on('data', (d) => { complaints += d; });
    // Ship 2's heading and autopilot on the host's last line (src/arena/StateLog.h).
    const seat2 = () => readFileSync(env.VEXLOR_STATE_LOG, 'utf8').trimEnd().split('\n').pop().split(' ').slice(18, 29);
    try {
      const [, port, room] = await waitFor('a room', () => said.match(/hosting ws:\/\/.*:(\d+)\/(\w+)/), 20000);
      proxy = spawn('python3', [new URL('../net/proxy.py', import.meta.url).pathname, port, '25']);
      proxy.stdout.on('data', (d) => { proxySaid += d; });
      const [, via] = await waitFor('the proxy', () => proxySaid.match(/listening on 127\.0\.0\.1:(\d+)/), 20000);
      const { page, errors } = await openGame(browser, `${url}?join=127.0.0.1:${via}/${room}`);
      await waitFor('the page to take seat 2', () => seat2()[10] === '0', 20000);
      let heading = seat2().slice(4, 6).join();
      await page.keyboard.down('ArrowLeft');
      for (let turns = 0; turns < 3; turns++)
        await waitFor('Left on the page to turn ship 2', () => heading !== (heading = seat2().slice(4, 6).join()));
      await page.keyboard.up('ArrowLeft');
      if (/out of step/.test(complaints + await page.title())) fail(`a desync: ${complaints}`);
      proxy.kill();
      await waitFor('the page to say the relay is gone', () => page.$$eval('.vx-static', (s) => s.some((e) =>
        e.textContent.includes('the relay is gone') && e.textContent.endsWith('Local play goes on.'))));
      const ticks = await page.evaluate(() => window.vexlor.ticks());
      await waitFor('local play to go on', () => page.evaluate((t) => window.vexlor.ticks() > t + 40, ticks));
      if (errors.length) fail(`page errors: ${errors}`);
    } finally {
      try { process.kill(-host.pid); } catch {}
      proxy?.kill();
      rmSync(dir, { recursive: true, force: true });
    }
  },
};

await runCheck(checks);
