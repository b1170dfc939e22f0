// Plays the game's web page in Debian's Chromium with real mouse and keyboard input.
//
//   node page_test.mjs SITE_DIR PART      (PART: play, scroll_bar, message_box, pixels,
//                                          accessibility, offline)
//
// The site is served from a loopback server under a sub-path; every expected value is written
// out from the game's description.
import {chromium} from 'playwright-core';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';

const [siteDir, part] = process.argv.slice(2);
const SubPath = '/games/vir-urad-izuva/';
const Green = [192, 255, 192], White = [255, 255, 255], Yellow = [255, 255, 0];
const Black = [0, 0, 0], Brown = [192, 64, 0], Salmon = [255, 128, 128];
const types = {'.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css',
               '.wasm': 'application/wasm', '.svg': 'image/svg+xml', '.png': 'image/png',
               '.webmanifest': 'application/manifest+json'};

function serve() {
  const server = http.createServer((request, response) => {
    const url = new URL(request.url, 'http://host');
    let file = url.pathname.startsWith(SubPath) ? url.pathname.slice(SubPath.length) : null;
    if (file === '')
      file = 'index.html';
    const full = file && path.resolve(siteDir, file);
    if (!full || !full.startsWith(path.resolve(siteDir)) || !fs.existsSync(full)) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, {'Content-Type': types[path.extname(full)] ?? 'application/octet-stream',
                             'Cache-Control': 'no-cache'});
    response.end(fs.readFileSync(full));
  });
  return new Promise(resolve => server.listen(0, '127.0.0.1', () => resolve(server)));
}

async function launch() {
  return chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
}

// A page of the game, watched for console errors and for requests that leave the page's folder.
async function openGame(browser, base, {ratio = 1} = {}) {
  const context = await browser.newContext({viewport: {width: 688, height: 600}, deviceScaleFactor: ratio});
  const problems = [];
  context.on('request', request => {
    if (!request.url().startsWith(base) && !request.url().startsWith('data:'))
      problems.push('request outside the page: ' + request.url());
  });
  const page = await context.newPage();
  page.on('console', message => {
    if (message.type() === 'error')
      problems.push('console error: ' + message.text());
  });
  page.on('pageerror', error => problems.push('page error: ' + error.message));
  await page.goto(base);
  await page.waitForSelector('#Form1:not([hidden])');
  return {context, page, problems};
}

const text = (page, id) => page.$eval('#' + id, element => element.textContent);
const focused = page => page.evaluate(() => document.activeElement.id || document.activeElement.textContent);
const scrollValue = page => page.$eval('#SizeScroll', element => element.getAttribute('aria-valuenow'));

// The middle of cell (x, y) on a board of the given size: cells are 600 / size pixels wide.
function cellCentre(x, y, size = 25) {
  const side = 600 / size;
  return [(x + 0.5) * side, (y + 0.5) * side];
}

async function click(page, [x, y], button = 'left') {
  await page.mouse.move(x, y);
  await page.mouse.down({button});
  await page.mouse.up({button});
}

async function clickCell(page, x, y, button = 'left', size = 25) {
  await click(page, cellCentre(x, y, size), button);
}

// Colours of screenshot pixels, at device-pixel coordinates, decoded by the browser itself.
async function screenshotPixels(context, page, points) {
  const png = (await page.screenshot()).toString('base64');
  const decoder = await context.newPage();
  const colours = await decoder.evaluate(async ({png, points}) => {
    const blob = await (await fetch('data:image/png;base64,' + png)).blob();
    const bitmap = await createImageBitmap(blob);
    const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
    const context2d = canvas.getContext('2d');
    context2d.drawImage(bitmap, 0, 0);
    return points.map(([x, y]) => Array.from(context2d.getImageData(x, y, 1, 1).data.slice(0, 3)));
  }, {png, points});
  await decoder.close();
  return colours;
}

async function boardPixel(context, page, x, y, ratio) {
  return (await screenshotPixels(context, page, [[Math.floor(x * ratio), Math.floor(y * ratio)]]))[0];
}

const parts = {
  async play(browser, base) {
    const {page, problems} = await openGame(browser, base);
    assert.equal(await page.title(), 'Vir Urad Izuva?');
    assert.equal(await text(page, 'SizeOf'), '25x25');
    assert.equal(await text(page, 'Number'), ' 0 Chips ');
    assert.equal(await text(page, 'Test'), 'Check Me!');
    assert.equal(await scrollValue(page), '25');
    assert.equal(await focused(page), 'SizeScroll');

    // Left places and removes a chip; the count follows.
    await clickCell(page, 2, 3);
    assert.equal(await text(page, 'Number'), ' 1 Chips ');
    await clickCell(page, 2, 3);
    assert.equal(await text(page, 'Number'), ' 0 Chips ');

    // Right marks a cell, taking its chip; the context menu stays away from the board only.
    await page.evaluate(() => {
      window.menus = [];
      window.addEventListener('contextmenu', event => window.menus.push([event.target.id, event.defaultPrevented]));
    });
    await clickCell(page, 4, 4);
    await clickCell(page, 4, 4, 'right');
    assert.equal(await text(page, 'Number'), ' 0 Chips ');
    await click(page, [640, 60], 'right');
    assert.deepEqual(await page.evaluate(() => window.menus), [['Board', true], ['Form1', false]]);
    // A left click on the mark places a chip again.
    await clickCell(page, 4, 4);
    assert.equal(await text(page, 'Number'), ' 1 Chips ');

    // The middle button changes nothing.
    await clickCell(page, 6, 6, 'middle');
    assert.equal(await text(page, 'Number'), ' 1 Chips ');

    // Pressed on one cell, released on another: the cell of the release counts.
    await page.mouse.move(...cellCentre(8, 8));
    await page.mouse.down();
    await page.mouse.move(...cellCentre(9, 8), {steps: 3});
    await page.mouse.up();
    assert.equal(await text(page, 'Number'), ' 2 Chips ');
    await clickCell(page, 9, 8);
    assert.equal(await text(page, 'Number'), ' 1 Chips ', 'the chip was placed on the cell of the release');

    // Pressed on the board, released beside it: no cell counts. Also the first pixel past the edge.
    await page.mouse.move(...cellCentre(24, 10));
    await page.mouse.down();
    await page.mouse.move(640, 300, {steps: 3});
    await page.mouse.up();
    await click(page, [600.2, 300]);
    assert.equal(await text(page, 'Number'), ' 1 Chips ');
    // The last pixel column of the board is still the last column's cell.
    await click(page, [599, 300]);
    assert.equal(await text(page, 'Number'), ' 2 Chips ');
    // Nothing is kept: no cookie, nothing in the page's storage.
    assert.deepEqual(await page.evaluate(() => [document.cookie, localStorage.length, sessionStorage.length]),
                     ['', 0, 0]);
    return problems;
  },

  async scroll_bar(browser, base) {
    const {page, problems} = await openGame(browser, base);
    const bar = await page.$eval('#SizeScroll', element => {
      const r = element.getBoundingClientRect();
      return {left: r.left, top: r.top, width: r.width, height: r.height};
    });
    assert.deepEqual(bar, {left: 600, top: 120, width: 89, height: 17});
    const middle = bar.top + bar.height / 2;
    const thumb = async () => page.$eval('.thumb', element => {
      const r = element.getBoundingClientRect();
      return r.left + r.width / 2;
    });
    // 25, the start, is the thumb's place at the right end.
    assert.ok(await thumb() > bar.left + 60, 'thumb at the right end');
    await clickCell(page, 1, 1);
    await clickCell(page, 2, 2, 'right');

    // The right arrow at 25 goes no further; the left arrow is one step and a new game.
    await click(page, [bar.left + 84, middle]);
    assert.equal(await scrollValue(page), '25');
    assert.equal(await text(page, 'Number'), ' 1 Chips ');
    await click(page, [bar.left + 4, middle]);
    assert.equal(await scrollValue(page), '24');
    assert.equal(await text(page, 'SizeOf'), '24x24');
    assert.equal(await text(page, 'Number'), ' 0 Chips ');

    // A click in the track on either side of the thumb is one step.
    await click(page, [bar.left + 22, middle]);
    assert.equal(await scrollValue(page), '23');
    await click(page, [bar.left + 22, middle]);
    assert.equal(await scrollValue(page), '22');
    await click(page, [(await thumb()) - 8, middle]);
    assert.equal(await scrollValue(page), '21');

    // A drag counts only when released: the size stays while the thumb moves.
    await page.mouse.move(await thumb(), middle);
    await page.mouse.down();
    await page.mouse.move(bar.left, middle, {steps: 5});
    assert.equal(await text(page, 'SizeOf'), '21x21');
    await page.mouse.up();
    assert.equal(await scrollValue(page), '3');
    assert.equal(await text(page, 'SizeOf'), '3x3');
    assert.ok(await thumb() < bar.left + 30, 'thumb at the left end');

    // The keys, with the focus on the scroll bar.
    assert.equal(await focused(page), 'SizeScroll');
    const expectKey = async (key, value) => {
      await page.keyboard.press(key);
      assert.equal(await scrollValue(page), value, key);
      assert.equal(await text(page, 'SizeOf'), value + 'x' + value, key);
    };
    await expectKey('ArrowLeft', '3');
    await expectKey('ArrowRight', '4');
    await expectKey('ArrowUp', '3');
    await expectKey('ArrowDown', '4');
    await expectKey('PageDown', '5');
    await expectKey('PageUp', '4');
    await expectKey('End', '25');
    await expectKey('ArrowRight', '25');
    await expectKey('Home', '3');

    // The wheel over the scroll bar or the board changes nothing.
    await clickCell(page, 0, 0, 'left', 3);
    for (const at of [[bar.left + 44, middle], [300, 300]]) {
      await page.mouse.move(...at);
      await page.mouse.wheel(0, 120);
      await page.mouse.wheel(0, -240);
    }
    assert.equal(await scrollValue(page), '3');
    assert.equal(await text(page, 'Number'), ' 1 Chips ');

    // Tab goes round the scroll bar and the button only.
    await page.focus('#SizeScroll');
    await page.keyboard.press('Tab');
    assert.equal(await focused(page), 'Test');
    await page.keyboard.press('Tab');
    assert.equal(await focused(page), 'SizeScroll');
    await page.keyboard.press('Shift+Tab');
    assert.equal(await focused(page), 'Test');
    return problems;
  },

  async message_box(browser, base) {
    const {page, problems} = await openGame(browser, base);
    const box = () => page.evaluate(() => {
      const dialog = document.getElementById('MessageBox');
      const visible = selector => getComputedStyle(dialog.querySelector(selector)).display !== 'none';
      return {open: dialog.open, title: document.getElementById('MessageTitle').textContent,
              text: document.getElementById('MessageText').textContent,
              critical: visible('.critical'), information: visible('.information'),
              focus: document.activeElement.textContent};
    });
    const checkButton = [644, 464];
    await click(page, checkButton);
    assert.deepEqual(await box(), {open: true, title: 'No Line Found!',
                                   text: 'There is no line! Your result of 0 chips is a success!',
                                   critical: false, information: true, focus: 'OK'});
    // While the box is open the board takes no input.
    await clickCell(page, 5, 5);
    await clickCell(page, 5, 6, 'right');
    await page.keyboard.press('Enter');
    assert.equal((await box()).open, false);
    assert.equal(await text(page, 'Number'), ' 0 Chips ');
    assert.equal(await focused(page), 'Test', 'the focus goes back to the button');

    for (const x of [0, 1, 2])
      await clickCell(page, x, 0);
    for (let time = 0; time < 2; ++time) {
      await click(page, checkButton);
      assert.deepEqual(await box(), {open: true, title: 'Line Found',
                                     text: 'There is a line of 3 chips. Try again!',
                                     critical: true, information: false, focus: 'OK'});
      const ok = await page.$eval('#MessageBox button', element => {
        const r = element.getBoundingClientRect();
        return [r.left + r.width / 2, r.top + r.height / 2];
      });
      await click(page, ok);
      assert.equal((await box()).open, false);
      assert.equal(await text(page, 'Number'), ' 3 Chips ');
    }
    await clickCell(page, 1, 0);
    await page.focus('#Test');
    await page.keyboard.press('Space');
    assert.equal((await box()).text, 'There is no line! Your result of 2 chips is a success!');
    return problems;
  },

  async pixels(browser, base) {
    const problems = [];
    for (const ratio of [1, 1.5, 2, 3]) {
      const game = await openGame(browser, base, {ratio});
      const {context, page} = game;
      await clickCell(page, 0, 0);
      await clickCell(page, 1, 0, 'right');
      const at = (x, y) => [Math.floor(x * ratio), Math.floor(y * ratio)];
      // Cell (0, 0): 24 pixels, a one-pixel border, white from 1 to 4 and from 19 to 22 around a
      // 14-pixel disc from 5 to 18. Cell (1, 0) is yellow up to its border. At 1.5 a layout
      // pixel's edge falls inside a device pixel, so only points clear of edges are checked.
      const whole = Number.isInteger(ratio);
      const points = {
        'window green beside the controls': [at(650, 60), Green],
        'white between border and disc': [at(2.5, 12), White],
        'middle of the chip': [at(12, 12), Brown],
        'white right of the disc': [at(20.5, 12), White],
        'yellow mark': [at(30, 12), Yellow],
        'cell (24, 24)': [at(588, 588), White],
        'size label': [at(603, 147), White],
        'check button face': [at(606, 452), Salmon],
        ...(whole ? {
          'border of cell (0, 0)': [at(0, 12), Black],
          'shared border of two cells': [at(23, 12), Black],
          'next cell border': [at(24, 12), Black],
          'last pixel of the board': [[600 * ratio - 1, 600 * ratio - 1], Black],
        } : {}),
      };
      const colours = await screenshotPixels(context, page, Object.values(points).map(([p]) => p));
      Object.entries(points).forEach(([name, [, colour]], i) =>
        assert.deepEqual(colours[i], colour, `${name} at ratio ${ratio}`));
      // Crisp edges: along a row through the chip's middle only pure colours appear outside the
      // disc's own rim, at every ratio.
      const row = [];
      for (let x = 0; x < 48 * ratio; ++x)
        row.push([x, Math.floor(12 * ratio)]);
      const rowColours = await screenshotPixels(context, page, row);
      const pure = [Black, White, Yellow, Brown].map(c => c.join());
      rowColours.forEach((c, x) => {
        const insideRim = x >= Math.floor(5 * ratio) - 1 && x <= Math.ceil(19 * ratio);
        if (!insideRim)
          assert.ok(pure.includes(c.join()), `device pixel ${x} at ratio ${ratio} is ${c}`);
      });
      const outDir = process.env.SCREENSHOT_DIR;
      if (outDir)
        await page.screenshot({path: path.join(outDir, `web-dpr${ratio}.png`)});
      if (ratio === 1) {
        // At 3 x 3 a chip is 190 across in a 200-pixel cell; nothing green shows on the board.
        await page.focus('#SizeScroll');
        await page.keyboard.press('Home');
        await clickCell(page, 0, 0, 'left', 3);
        const small = {
          'middle of a big chip': [[100, 100], Brown],
          'left end of the disc': [[7, 100], Brown],
          'white left of the disc': [[3, 100], White],
          'border between cells': [[199, 100], Black],
          'next cell': [[300, 300], White],
          'last cell': [[598, 598], White],
        };
        const got = await screenshotPixels(context, page, Object.values(small).map(([p]) => p));
        Object.entries(small).forEach(([name, [, colour]], i) => assert.deepEqual(got[i], colour, name));
        if (outDir)
          await page.screenshot({path: path.join(outDir, 'web-3x3.png')});
      }
      problems.push(...game.problems);
      await context.close();
    }
    return problems;
  },

  async accessibility(browser, base) {
    const {context, page, problems} = await openGame(browser, base);
    await clickCell(page, 3, 3);
    await page.focus('#SizeScroll');
    await page.keyboard.press('ArrowLeft');
    await clickCell(page, 3, 3, 'left', 24);
    const session = await context.newCDPSession(page);
    const tree = async () => {
      const {nodes} = await session.send('Accessibility.getFullAXTree');
      return nodes.filter(node => !node.ignored).map(node => {
        const value = node.value?.value;
        const props = Object.fromEntries((node.properties ?? []).map(p => [p.name, p.value.value]));
        return {role: node.role?.value, name: node.name?.value ?? '', value, props,
                description: node.description?.value};
      });
    };
    const show = nodes => nodes.filter(n => n.name || n.value !== undefined || n.description)
      .map(n => `${n.role} "${n.name}"` + (n.value !== undefined ? ` value=${n.value}` : '') +
           (n.props.valuemin !== undefined ? ` min=${n.props.valuemin} max=${n.props.valuemax}` : '') +
           (n.description ? ` description="${n.description}"` : '')).join('\n');
    let nodes = await tree();
    console.log('--- the window\n' + show(nodes));
    const texts = nodes.filter(n => n.role === 'StaticText').map(n => n.name);
    assert.ok(texts.includes('24x24'), 'size caption read');
    assert.ok(texts.includes(' 1 Chips '), 'count caption read as shown');
    const bar = nodes.find(n => n.role === 'scrollbar');
    assert.equal(bar.name, 'Board size');
    assert.equal(String(bar.value ?? bar.props.valuetext), '24');
    assert.equal(String(bar.props.valuemin), '3');
    assert.equal(String(bar.props.valuemax), '25');
    assert.ok(nodes.some(n => n.role === 'button' && n.name === 'Check Me!'));
    assert.ok(nodes.filter(n => n.role === 'status').length === 2, 'both captions are live regions');

    await click(page, [644, 464]);
    nodes = await tree();
    console.log('--- with the message box open\n' + show(nodes));
    const box = nodes.find(n => n.role === 'alertdialog');
    assert.equal(box.name, 'No Line Found!');
    assert.equal(box.description, 'There is no line! Your result of 1 chips is a success!');
    assert.ok(nodes.some(n => n.role === 'button' && n.name === 'OK' && n.props.focused));
    return problems;
  },

  async offline(browser, base, server) {
    const {context, page, problems} = await openGame(browser, base);
    await page.evaluate(async () => {
      await navigator.serviceWorker.ready;
      if (!navigator.serviceWorker.controller)
        await new Promise(resolve => navigator.serviceWorker.addEventListener('controllerchange', resolve));
    });
    // Installable: the manifest names the game, and bitmap icons of 192 and 512 pixels as
    // launchers ask for besides the SVG. Each is an image of its stated size, and kept offline.
    const icons = await page.evaluate(async () => {
      const url = new URL(document.querySelector('link[rel=manifest]').href);
      const manifest = await (await fetch(url)).json();
      return {name: manifest.name, icons: await Promise.all(manifest.icons.map(async icon => {
        const src = new URL(icon.src, url).href;
        const image = new Image();
        image.src = src;
        await image.decode();
        return {sizes: icon.sizes, type: icon.type, width: image.naturalWidth,
                kept: !!(await caches.match(src))};
      }))};
    });
    assert.equal(icons.name, 'Vir Urad Izuva?');
    const pngs = icons.icons.filter(icon => icon.type === 'image/png').map(icon => icon.sizes);
    assert.deepEqual(pngs.sort(), ['192x192', '512x512']);
    for (const icon of icons.icons) {
      assert.ok(icon.kept, `icon ${icon.sizes} kept for offline play`);
      if (icon.sizes !== 'any')
        assert.equal(`${icon.width}x${icon.width}`, icon.sizes);
    }
    // The host goes away; the page comes back from the service worker's copy and plays.
    await new Promise(resolve => server.close(resolve));
    server.closeAllConnections?.();
    await page.reload();
    await page.waitForSelector('#Form1:not([hidden])');
    await clickCell(page, 7, 7);
    assert.equal(await text(page, 'Number'), ' 1 Chips ');
    assert.equal(await text(page, 'SizeOf'), '25x25');
    await context.close();
    // Requests the reload could not make are expected: the host is gone.
    return problems.filter(p => !p.includes('Failed to load resource') && !p.includes('ERR_CONNECTION_REFUSED'));
  },
};

const server = await serve();
const base = `http://127.0.0.1:${server.address().port}${SubPath}`;
const browser = await launch();
let status = 0;
try {
  if (!parts[part])
    throw new Error('no such part: ' + part);
  const problems = await parts[part](browser, base, server);
  assert.deepEqual(problems, [], 'no request leaves the page and no console error');
  console.log(`${part}: passed`);
} catch (error) {
  console.error(error);
  status = 1;
} finally {
  await browser.close();
  server.close();
}
process.exit(status);
