// What only the web page has to show, beside the play-through every window plays: its layout and
// browser behaviour, its pixels at each density, what a screen reader gets, and offline play.
// Played in Debian's Chromium with real mouse and keyboard input.
//
//   node page_test.mjs SITE_DIR PART      (PART: page, box, pixels, accessibility, offline,
//                                          policy, policy-from-host)
//
// Every expected value is written out from the game's description.
import {SubPath, boardReady, decodePng, openGame, runTest, screenshotPixels, serve} from './page_harness.mjs';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';

const [siteDir, part] = process.argv.slice(2);
const Green = [192, 255, 192], White = [255, 255, 255], Yellow = [255, 255, 0];
const Black = [0, 0, 0], Brown = [192, 64, 0], Salmon = [255, 128, 128];

const text = (page, id) => page.$eval('#' + id, element => element.textContent);
const focused = page => page.evaluate(() => document.activeElement.id || document.activeElement.textContent);
const boxOpen = page => page.$eval('#MessageBox', dialog => dialog.open);
const rectOf = (page, selector) => page.$eval(selector, element => {
  const r = element.getBoundingClientRect();
  return [r.left, r.top, r.width, r.height];
});

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

const parts = {
  async page({browser, base}) {
    const {page, problems} = await openGame(browser, base);
    assert.equal(await page.title(), 'Vir Urad Izuva?');
    // Where each control stands, and the button's caption.
    const places = {'#Board': [0, 0, 600, 600], '#SizeScroll': [600, 120, 89, 17], '#SizeOf': [600, 144, 89, 25],
                    '#Number': [600, 272, 89, 49], '#Test': [600, 448, 89, 33]};
    for (const [selector, place] of Object.entries(places))
      assert.deepEqual(await rectOf(page, selector), place, selector);
    assert.equal(await text(page, 'Test'), 'Check Me!');

    // 25, the start, puts the thumb at the right end of its track; 3 at the left end.
    const ends = async () => {
      const [[trackLeft, , trackWidth], [thumbLeft, , thumbWidth]] =
        [await rectOf(page, '.track'), await rectOf(page, '.thumb')];
      return [thumbLeft - trackLeft, trackLeft + trackWidth - (thumbLeft + thumbWidth)];
    };
    assert.equal((await ends())[1], 0, 'thumb at the right end');
    await page.keyboard.press('Home');
    assert.equal((await ends())[0], 0, 'thumb at the left end');
    await page.keyboard.press('End');

    // The context menu stays away from the board only; the table over it lets the pointer through.
    await page.waitForSelector('#Cells [role=cell]');
    await page.evaluate(() => {
      window.menus = [];
      window.addEventListener('contextmenu', event => window.menus.push([event.target.id, event.defaultPrevented]));
    });
    await clickCell(page, 4, 4, 'right');
    await click(page, [640, 60], 'right');
    assert.deepEqual(await page.evaluate(() => window.menus), [['Board', true], ['Form1', false]]);
    assert.equal(await page.$eval('[data-cell="104"]', cell => cell.getAttribute('aria-label')),
                 'column 5, row 5, marked', 'a right click on a cell marks it once');
    await clickCell(page, 4, 4, 'right');

    // Space presses the focused button as Enter does.
    await clickCell(page, 1, 0);
    await page.focus('#Test');
    await page.keyboard.press('Space');
    assert.equal(await text(page, 'MessageText'), 'There is no line! Your result of 1 chips is a success!');
    await page.keyboard.press('Enter');

    // A button held down on the board while the message box opens is the box's when it comes up.
    await page.mouse.move(...cellCentre(6, 6));
    await page.mouse.down();
    await page.keyboard.press('Enter');
    assert.ok(await boxOpen(page), 'the box opened with the button still down');
    await page.mouse.up();
    await page.keyboard.press('Enter');
    assert.equal(await text(page, 'Number'), ' 1 Chips ');
    await clickCell(page, 6, 6);
    assert.equal(await text(page, 'Number'), ' 2 Chips ', 'the next click plays as ever');

    // Nothing is kept: no cookie, nothing in the page's storage.
    assert.deepEqual(await page.evaluate(() => [document.cookie, localStorage.length, sessionStorage.length]),
                     ['', 0, 0]);
    return problems;
  },

  // The box keeps the keyboard as a desktop window's box does: a held Enter on Check Me! opens it
  // once, and a click anywhere beside it leaves the keyboard on its button, which Enter or Escape
  // then closes, back on Check Me!.
  async box({browser, base}) {
    const {page, problems} = await openGame(browser, base);
    await page.evaluate(() => {
      window.opened = 0;
      new MutationObserver(() => MessageBox.open && ++window.opened).observe(MessageBox, {attributes: true});
    });
    await page.focus('#Test');
    await page.keyboard.down('Enter');
    for (let i = 0; i < 30; ++i) {
      await page.waitForTimeout(33);
      await page.keyboard.down('Enter');
    }
    await page.keyboard.up('Enter');
    assert.equal(await page.evaluate(() => window.opened), 1, 'a held Enter opens the box once');
    for (const key of ['Enter', 'Escape']) {
      if (!await boxOpen(page))
        await page.keyboard.press('Enter');
      for (const place of [cellCentre(3, 3), [650, 60], [644, 128], [644, 464], [5, 590]]) {
        await click(page, place);
        assert.equal(await focused(page), 'OK', `the keyboard on OK after a click at ${place}`);
      }
      await page.keyboard.press(key);
      assert.ok(!await boxOpen(page), `${key} closes the box`);
      assert.equal(await focused(page), 'Test');
    }
    assert.equal(await text(page, 'Number'), ' 0 Chips ', 'no click beside the box played');
    return problems;
  },

  async pixels({browser, base}) {
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
      const colours = await screenshotPixels(page, Object.values(points).map(([p]) => p));
      Object.entries(points).forEach(([name, [, colour]], i) =>
        assert.deepEqual(colours[i], colour, `${name} at ratio ${ratio}`));
      // Crisp edges: along a row through the chip's middle only pure colours appear outside the
      // disc's own rim, at every ratio.
      const row = [];
      for (let x = 0; x < 48 * ratio; ++x)
        row.push([x, Math.floor(12 * ratio)]);
      const rowColours = await screenshotPixels(page, row);
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
        const got = await screenshotPixels(page, Object.values(small).map(([p]) => p));
        Object.entries(small).forEach(([name, [, colour]], i) => assert.deepEqual(got[i], colour, name));
        if (outDir)
          await page.screenshot({path: path.join(outDir, 'web-3x3.png')});
      }
      problems.push(...game.problems);
      await context.close();
    }
    return problems;
  },

  async accessibility({browser, base}) {
    const {context, page, problems} = await openGame(browser, base);
    await clickCell(page, 3, 3);
    await page.focus('#SizeScroll');
    await page.keyboard.press('ArrowLeft');
    await clickCell(page, 3, 3, 'left', 24);
    await clickCell(page, 5, 3, 'right', 24);
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
    // Once the page has built its table, the board reads as that alone, its picture no more.
    await page.waitForSelector('#Cells [role=cell]');
    nodes = await tree();
    assert.ok(!nodes.some(n => n.role === 'image'), 'the picture of the board is not read beside its table');
    const board = nodes.find(n => n.role === 'table');
    assert.deepEqual([board.name, board.description], ['Board', '24x24 board, 1 chip, 1 marked cell']);

    await click(page, [644, 464]);
    nodes = await tree();
    console.log('--- with the message box open\n' + show(nodes));
    const box = nodes.find(n => n.role === 'alertdialog');
    assert.equal(box.name, 'No Line Found!');
    assert.equal(box.description, 'There is no line! Your result of 1 chips is a success!');
    assert.ok(nodes.some(n => n.role === 'button' && n.name === 'OK' && n.props.focused));

    // A box opened again is read by its own title, not by the last one's, nor by none.
    await page.keyboard.press('Escape');
    await clickCell(page, 3, 4, 'left', 24);
    await clickCell(page, 3, 5, 'left', 24);
    await click(page, [644, 464]);
    nodes = await tree();
    const again = nodes.find(n => n.role === 'alertdialog');
    assert.deepEqual([again.name, again.description], ['Line Found', 'There is a line of 3 chips. Try again!']);
    return problems;
  },

  async offline({browser, base, server, extra}) {
    const {context, page, problems} = await openGame(browser, base);
    const controlled = () => page.evaluate(async () => {
      await navigator.serviceWorker.ready;
      if (!navigator.serviceWorker.controller)
        await new Promise(resolve => navigator.serviceWorker.addEventListener('controllerchange', resolve));
    });
    await controlled();
    // Every file of the site is kept at the first visit, those the page has not asked for yet too.
    const kept = () => page.evaluate(async () => Promise.all((await caches.keys()).map(async key =>
      [key, (await (await caches.open(key)).keys()).map(request => new URL(request.url).pathname)])));
    const site = fs.readdirSync(siteDir).filter(name => name !== 'sw.js');
    const firstCaches = await kept();
    assert.equal(firstCaches.length, 1, 'one cache for the release');
    const [[release, files]] = firstCaches;
    assert.deepEqual(files.map(file => file.slice(SubPath.length) || './').sort(), [...site, './'].sort());

    // Installable: the manifest names the game, suits a phone's home screen in either orientation
    // in the game's green, and has bitmap icons of 192 and 512 pixels as launchers ask for
    // besides the SVG, and one that a launcher may cut to its own shape. Each is an image of its
    // stated size.
    const manifest = await page.evaluate(async () => {
      const url = new URL(document.querySelector('link[rel=manifest]').href);
      const manifest = await (await fetch(url)).json();
      return {name: manifest.name, colour: manifest.theme_color, orientation: manifest.orientation,
              icons: await Promise.all(manifest.icons.map(async icon => {
                const image = new Image();
                image.src = new URL(icon.src, url).href;
                await image.decode();
                return {src: icon.src, sizes: icon.sizes, type: icon.type, purpose: icon.purpose ?? 'any',
                        width: image.naturalWidth};
              }))};
    });
    assert.equal(manifest.name, 'Vir Urad Izuva?');
    assert.equal(manifest.colour, '#c0ffc0');
    assert.equal(manifest.orientation, 'any');
    const pngs = purpose => manifest.icons.filter(icon => icon.type === 'image/png' && icon.purpose === purpose);
    assert.deepEqual(pngs('any').map(icon => icon.sizes).sort(), ['192x192', '512x512']);
    assert.deepEqual(pngs('maskable').map(icon => icon.sizes), ['512x512']);
    for (const icon of manifest.icons.filter(icon => icon.sizes !== 'any'))
      assert.equal(`${icon.width}x${icon.width}`, icon.sizes);
    // A launcher keeps at least the circle of 40 % of the side around the middle: all of the
    // icon lies inside it, and the green runs to every edge.
    const maskable = decodePng(fs.readFileSync(path.join(siteDir, pngs('maskable')[0].src)));
    const Green = [192, 255, 192];
    for (let y = 0; y < 512; y += 2)
      for (let x = 0; x < 512; x += 2)
        if (Math.hypot(x + 0.5 - 256, y + 0.5 - 256) > 0.4 * 512)
          assert.deepEqual(maskable.pixel(x, y), Green, `the maskable icon at (${x}, ${y})`);
    assert.deepEqual(maskable.pixel(256, 256), [192, 64, 0], 'the chip in the middle');
    assert.deepEqual(maskable.pixel(166, 166), [255, 255, 255], 'the middle of the corner cell');

    // A new release takes over from the last, whose cache goes; another app's on the same host stays.
    await page.evaluate(() => caches.open('another game on this host'));
    const worker = fs.readFileSync(path.join(siteDir, 'sw.js'), 'utf8');
    extra.set('sw.js', {type: 'text/javascript', body: worker.replace(/ [0-9a-f]+`;/, ' 0123456789abcdef`;')});
    await page.evaluate(async () => {
      // The new worker takes the page over as it activates, and is activated once it has
      // dropped the old caches.
      const taken = new Promise(resolve => navigator.serviceWorker.addEventListener('controllerchange', resolve));
      await (await navigator.serviceWorker.ready).update();
      await taken;
      const worker = navigator.serviceWorker.controller;
      if (worker.state !== 'activated')
        await new Promise(resolve => worker.addEventListener('statechange', () => worker.state === 'activated' && resolve()));
    });
    const names = (await kept()).map(([key]) => key).sort();
    assert.deepEqual(names, [release.replace(/ \w+$/, ' 0123456789abcdef'), 'another game on this host'].sort());

    // The host goes away; the page comes back from the service worker's copy and plays.
    await new Promise(resolve => server.close(resolve));
    server.closeAllConnections?.();
    await page.reload();
    await boardReady(page);
    await clickCell(page, 7, 7);
    assert.equal(await text(page, 'Number'), ' 1 Chips ');
    assert.equal(await text(page, 'SizeOf'), '25x25');
    await context.close();
    // Requests the reload could not make are expected: the host is gone.
    return problems.filter(p => !p.includes('Failed to load resource') && !p.includes('ERR_CONNECTION_REFUSED'));
  },
};

// The strict policy a host may send with every file of the site, beside the page's own.
const HostPolicy = "default-src 'none'; script-src 'self' 'wasm-unsafe-eval'; style-src 'self'; " +
  "img-src 'self' data: blob:; font-src 'self'; connect-src 'self'; worker-src 'self'; manifest-src 'self'; " +
  "base-uri 'none'; form-action 'none'; frame-ancestors 'none'; object-src 'none'";

// The page allows itself only its own files, by a policy of its own, and plays under it, and
// under a host's strict policy too: a chip, a mark, the box, installing, and offline play, with
// no violation of either policy reported.
async function playsUnderPolicy({browser}, headers) {
  const extra = new Map();
  const {server, base} = await serve(siteDir, extra, headers);
  const {context, page, problems} = await openGame(browser, base, {init: () => {
    window.violations = [];
    addEventListener('securitypolicyviolation', event => violations.push(`${event.violatedDirective} ${event.blockedURI}`));
  }});
  const noViolation = async when => assert.deepEqual(await page.evaluate(() => violations), [], `no violation ${when}`);
  try {
    const policy = await page.$eval('meta[http-equiv="Content-Security-Policy"]', meta => meta.content);
    const directives = Object.fromEntries(policy.split(';').map(d => d.trim().split(/\s+/)).map(([n, ...v]) => [n, v]));
    assert.deepEqual(directives['default-src'], ["'none'"]);
    assert.deepEqual(directives['script-src'], ["'self'", "'wasm-unsafe-eval'"]);
    assert.deepEqual(directives['style-src'], ["'self'"]);
    assert.deepEqual(directives['object-src'], ["'none'"]);
    assert.ok(directives['base-uri'], 'the policy sets where relative addresses resolve');
    assert.ok(!/unsafe-inline|'unsafe-eval'|\*|https?:/.test(policy), `a strict policy: ${policy}`);
    await clickCell(page, 2, 2);
    await clickCell(page, 4, 2, 'right');
    assert.equal(await text(page, 'Number'), ' 1 Chips ');
    await page.waitForSelector('[data-cell="102"]');
    assert.equal(await page.$eval('[data-cell="102"]', cell => cell.getAttribute('aria-label')), 'column 5, row 3, marked');
    await click(page, [644, 464]);
    assert.ok(await boxOpen(page), 'Check Me! opens the box');
    await page.keyboard.press('Enter');
    assert.ok(!await boxOpen(page), 'Enter closes it');

    await page.evaluate(async () => {
      await navigator.serviceWorker.ready;
      if (!navigator.serviceWorker.controller)
        await new Promise(resolve => navigator.serviceWorker.addEventListener('controllerchange', resolve));
    });
    const session = await context.newCDPSession(page);
    const {errors} = await session.send('Page.getAppManifest');
    assert.deepEqual(errors, [], 'the manifest is read');
    // Installable, but for the test's browser profile, which is a private one.
    const {installabilityErrors} = await session.send('Page.getInstallabilityErrors');
    assert.deepEqual(installabilityErrors.filter(e => e.errorId !== 'in-incognito'), [], 'installable');
    await noViolation('while playing');
    await new Promise(resolve => server.close(resolve));
    server.closeAllConnections?.();
    await page.reload();
    await boardReady(page);
    await clickCell(page, 7, 7);
    assert.equal(await text(page, 'Number'), ' 1 Chips ', 'plays offline');
    await noViolation('offline');
    // Requests the reload could not make are expected: the host is gone.
    return problems.filter(p => !p.includes('Failed to load resource') && !p.includes('ERR_CONNECTION_REFUSED'));
  } finally {
    await context.close();
    server.close();
  }
}
parts.policy = body => playsUnderPolicy(body, {});
parts['policy-from-host'] = body => playsUnderPolicy(body, {'Content-Security-Policy': HostPolicy});

if (!parts[part])
  throw new Error('no such part: ' + part);
runTest(siteDir, part, parts[part]);
