// Measures the web page in one Chromium run: the site's size gzipped, and the time from
// navigation to the first drawn board against a plain page with the same markup, layout and style
// sheet and no WebAssembly, its board drawn by a few lines of script. Both pages show nothing until
// their board is drawn, so the first paint with content in it is the board's: the time to it
// takes in everything, the page's scripts, its layout and the paint itself.
//
//   node startup_bench.mjs SITE_DIR [LOADS]
import {launch, serve} from './page_harness.mjs';
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';

const [siteDir, loadsArg] = process.argv.slice(2);
const loads = parseInt(loadsArg ?? '15', 10);

// The baseline: the game's own page with its module swapped for a plain one that draws the
// empty board and writes the captions from the page's design, as the game shows them at start.
function plainPage() {
  const html = fs.readFileSync(path.join(siteDir, 'index.html'), 'utf8');
  const swaps = [[/<link rel="preload"[^>]*>\n/, ''], ['src="game.js"', 'src="plain.js"']];
  return swaps.reduce((page, [from, to]) => {
    if (!page.match(from))
      throw new Error(`the game's page no longer has ${from}`);
    return page.replace(from, to);
  }, html);
}
const plainScript = `const design = JSON.parse(document.getElementById('Design').textContent);
const board = document.getElementById('Board'), n = design.SizeScroll.value, side = design.Board.width / n;
board.width = board.height = design.Board.width;
const c = board.getContext('2d', {alpha: false});
for (let x = 0; x < n; ++x)
  for (let y = 0; y < n; ++y) {
    c.fillStyle = design.colours.cellBorder; c.fillRect(x * side, y * side, side, side);
    c.fillStyle = design.colours.empty; c.fillRect(x * side + 1, y * side + 1, side - 2, side - 2);
  }
document.getElementById('SizeOf').textContent = design.SizeOf.text;
document.getElementById('Number').textContent = design.Number.text;
document.getElementById('Form1').hidden = false;`;

const {server, base} = await serve(siteDir, new Map([
  ['plain.html', {type: 'text/html', body: plainPage()}],
  ['plain.js', {type: 'text/javascript', body: plainScript}],
]));

let total = 0;
for (const name of fs.readdirSync(siteDir)) {
  const size = zlib.gzipSync(fs.readFileSync(path.join(siteDir, name)), {level: 9}).length;
  console.log(`  ${name.padEnd(24)} ${size} bytes gzipped`);
  total += size;
}
console.log(`site: ${(total / 1024).toFixed(1)} KB gzipped`);

const browser = await launch();
// Each load in a fresh context, so nothing comes from a cache or a service worker.
async function timeToBoard(url) {
  const context = await browser.newContext({viewport: {width: 688, height: 600}, serviceWorkers: 'block'});
  const page = await context.newPage();
  await page.goto(url);
  const ms = await page.evaluate(() => new Promise(resolve => {
    new PerformanceObserver(list => {
      const paint = list.getEntriesByName('first-contentful-paint')[0];
      if (paint)
        resolve(paint.startTime);
    }).observe({type: 'paint', buffered: true});
  }));
  await context.close();
  return ms;
}
const median = values => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];
const game = [], plain = [];
await timeToBoard(base); // warms the browser's own start-up
for (let i = 0; i < loads; ++i) {
  game.push(await timeToBoard(base));
  plain.push(await timeToBoard(base + 'plain.html'));
}
const [g, p] = [median(game), median(plain)];
console.log(`navigation to first drawn board, median of ${loads}: game ${g.toFixed(1)} ms, ` +
            `plain page ${p.toFixed(1)} ms, ratio ${(g / p).toFixed(2)}`);
await browser.close();
server.close();
