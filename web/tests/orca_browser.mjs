// The page in a window of Debian's Chromium on the display it is given, for orca_test.py: it
// serves the site and starts the browser with the game's address, as a launcher or a link in
// another program does; writes "ready" once the game has loaded and its table for screen readers
// is built, answers "box closed" to "box closed?" once the page's message box is closed, and
// "state?" with whether a box is open and where the keyboard is, and
// closes everything when its input ends, saying what went wrong on the page meanwhile, if
// anything.
//
//   DISPLAY=... node orca_browser.mjs SITE_DIR
import {openWindowAt, serve} from './page_harness.mjs';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import readline from 'node:readline';

const [siteDir] = process.argv.slice(2);
const {server, base} = await serve(siteDir);
// A screen reader finds the browser's objects through the accessibility bus named on the session
// bus the test started, never through an address from outside it.
const env = {...process.env, ACCESSIBILITY_ENABLED: '1'};
for (const name of ['WAYLAND_DISPLAY', 'AT_SPI_BUS_ADDRESS'])
  delete env[name];
const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'orca-browser-'));
let game;
try {
  game = await openWindowAt(base, profile, {args: ['--force-renderer-accessibility'], env});
  // The table comes once the browser is idle after the board's loading: a cell for each square.
  await game.page.waitForFunction(() => document.querySelectorAll('#Cells [role=cell]').length === 625,
                                  undefined, {timeout: 0});
  console.log('ready');
  // The player asks once a box should have closed, and hears when it has.
  for await (const line of readline.createInterface({input: process.stdin})) {
    if (line === 'box closed?') {
      await game.page.waitForFunction(() => !document.getElementById('MessageBox').open, undefined,
                                      {timeout: 0});
      console.log('box closed');
    } else if (line === 'state?') {
      console.log(await game.page.evaluate(() => {
        const box = document.getElementById('MessageBox');
        const keyboard = document.activeElement;
        return `${box.open ? `box "${document.getElementById('MessageTitle').textContent}" open` : 'no box'}, ` +
               `keyboard on ${keyboard?.id || `"${keyboard?.textContent}"`}`;
      }));
    }
  }
} finally {
  await game?.close();
  server.close();
  fs.rmSync(profile, {recursive: true, force: true});
}
if (game?.problems.length) {
  console.error(game.problems.join('\n'));
  process.exitCode = 1;
}
