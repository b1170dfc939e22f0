// Measures the web page in one Chromium run: the site's size gzipped, and the time from
// navigation to the first drawn board against a plain page with the same layout and style sheet
// and no WebAssembly, its board drawn by a few lines of script. Both pages show nothing until
// their board is drawn, so the first paint with content in it is the board's: the time to it
// takes in everything, the page's scripts, its layout and the paint itself.
//
//   node startup_bench.mjs SITE_DIR [LOADS]
import {chromium} from 'playwright-core';
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import zlib from 'node:zlib';

const [siteDir, loadsArg] = process.argv.slice(2);
const loads = parseInt(loadsArg ?? '15', 10);

// The baseline: the page's own markup and style sheet with its layout written out, and a plain
// script module that draws the 625 cells, as the game's page loads its module.
const plainPage = `<!DOCTYPE html><html><head><meta charset="utf-8"><title>Vir Urad Izuva?</title>
<link rel="stylesheet" href="style.css"><script type="module" src="plain.js"></script></head>
<body><main id="Form1" hidden style="width:688px;height:600px;background:#c0ffc0">
<canvas id="Board" width="600" height="600"></canvas>
<div id="SizeScroll" style="left:600px;top:120px;width:89px;height:17px"><div class="arrow"></div>
<div class="track"><div class="thumb" style="left:42px"></div></div><div class="arrow"></div></div>
<div class="caption" style="left:600px;top:144px;width:89px;height:25px;background:#fff;font:700 18px 'Liberation Sans'">25x25</div>
<div class="caption" style="left:600px;top:272px;width:89px;height:49px;background:ButtonFace;font:18px 'Liberation Sans'"> 0 Chips </div>
<button id="Test" style="left:600px;top:448px;width:89px;height:33px;background:#ff8080;font:700 16px 'Liberation Serif'">Check Me!</button>
</main></body></html>`;
const plainScript = `const c = document.getElementById('Board').getContext('2d', {alpha: false});
for (let x = 0; x < 25; ++x)
  for (let y = 0; y < 25; ++y) {
    c.fillStyle = '#000'; c.fillRect(x * 24, y * 24, 24, 24);
    c.fillStyle = '#fff'; c.fillRect(x * 24 + 1, y * 24 + 1, 22, 22);
  }
document.getElementById('Form1').hidden = false;`;

const types = {'.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css',
               '.wasm': 'application/wasm', '.svg': 'image/svg+xml',
               '.webmanifest': 'application/manifest+json'};
const server = http.createServer((request, response) => {
  const name = new URL(request.url, 'http://host').pathname;
  if (name === '/plain.html' || name === '/plain.js') {
    const html = name.endsWith('html');
    response.writeHead(200, {'Content-Type': html ? 'text/html' : 'text/javascript'})
      .end(html ? plainPage : plainScript);
    return;
  }
  const file = path.resolve(siteDir, name.slice(1) || 'index.html');
  if (!file.startsWith(path.resolve(siteDir)) || !fs.existsSync(file)) {
    response.writeHead(404).end();
    return;
  }
  response.writeHead(200, {'Content-Type': types[path.extname(file)] ?? 'application/octet-stream'});
  response.end(fs.readFileSync(file));
});
await new Promise(resolve => server.listen(0, '127.0.0.1', resolve));
const base = `http://127.0.0.1:${server.address().port}/`;

let total = 0;
for (const name of fs.readdirSync(siteDir)) {
  const size = zlib.gzipSync(fs.readFileSync(path.join(siteDir, name)), {level: 9}).length;
  console.log(`  ${name.padEnd(24)} ${size} bytes gzipped`);
  total += size;
}
console.log(`site: ${(total / 1024).toFixed(1)} KB gzipped`);

const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});
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
