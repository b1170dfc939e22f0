// The page on phones, tablets and the desktop, in Debian's Chromium with its device emulation:
// real touches and a pen through the DevTools protocol, the window fitted to each screen as its
// screenshots show it, and the start window, which shows and takes input before the board loads.
//
//   node devices_test.mjs SITE_DIR PART      (PART: touch, pen, mouse, fit, rotation, start)
//
// Every expected value is written out from the game's description and the window's design.
import {Screens, boardReady, decodePng, openGame, runTest, screenshotPixels} from './page_harness.mjs';
import assert from 'node:assert/strict';

const [siteDir, part] = process.argv.slice(2);
const Green = [192, 255, 192], White = [255, 255, 255], Black = [0, 0, 0];
const Brown = [192, 64, 0], Yellow = [255, 255, 0], Salmon = [255, 128, 128];
const same = (a, b) => a.join() === b.join();

// Where the designed 688 x 600 window belongs on a screen: as large as fits, and centred.
function fitted({width, height, ratio}) {
  const scale = Math.min(width / 688, height / 600);
  return {scale, ratio, left: (width - 688 * scale) / 2, top: (height - 600 * scale) / 2};
}

// The middle of cell (x, y) on a board of `size` cells a side, in CSS pixels of the page.
async function cellMiddle(page, x, y, size = 25) {
  const box = await page.locator('#Board').boundingBox();
  return [box.x + (x + 0.5) * box.width / size, box.y + (y + 0.5) * box.height / size];
}

const middleOf = async (page, selector) => {
  const box = await page.locator(selector).boundingBox();
  return [box.x + box.width / 2, box.y + box.height / 2];
};

// What the player sees of each cell: a brown middle on white is a chip, yellow up to the border
// a mark, white an empty cell.
async function cellLooks(page, ratio, cells) {
  const box = await page.locator('#Board').boundingBox(), side = box.width / 25;
  const points = cells.flatMap(([x, y]) => [[box.x + (x + 0.5) * side, box.y + (y + 0.5) * side],
                                            [box.x + (x + 0.15) * side, box.y + (y + 0.15) * side]])
    .map(([x, y]) => [x * ratio, y * ratio]);
  const colours = await screenshotPixels(page, points);
  return cells.map((cell, i) => {
    const [middle, inside] = [colours[2 * i], colours[2 * i + 1]];
    return same(middle, Brown) && same(inside, White) ? 'chip'
      : same(middle, White) && same(inside, White) ? 'empty'
      : same(middle, Yellow) && same(inside, Yellow) ? 'marked'
      : `middle ${middle}, inside ${inside}`;
  });
}

// The count as the window shows it, and the board as a screen reader hears it.
const shown = page => page.evaluate(() => [document.getElementById('Number').textContent,
                                           document.getElementById('Board').getAttribute('aria-description')]);
const hearsBoard = (page, text) => page.waitForFunction(
  text => document.getElementById('Board').getAttribute('aria-description') === text, text, {timeout: 10000});

// Fingers on the screen through the DevTools protocol, at CSS pixels of the page; each point of
// a call is one finger, the first with id 0.
async function touchScreen(context, page) {
  const session = await context.newCDPSession(page);
  const touch = (type, points) => session.send('Input.dispatchTouchEvent',
                                               {type, touchPoints: points.map(([x, y], id) => ({x, y, id}))});
  return {
    down: (...points) => touch('touchStart', points),
    move: (...points) => touch('touchMove', points),
    up: () => touch('touchEnd', []),
    cancel: () => touch('touchCancel', []),
    // Sent at once, so that however slow the machine, the finger is down only as long as it
    // takes the browser to pass on events already waiting for it: a tap, never a long press.
    tap: ([x, y], [dx, dy] = [0, 0]) => Promise.all([touch('touchStart', [[x, y]]),
                                                    touch('touchMove', [[x + dx, y + dy]]), touch('touchEnd', [])]),
  };
}

// A finger held on `place` until the board is heard as `heard`, then lifted: what the board
// showed while the finger was still down is returned.
async function longPress(page, fingers, place, heard, look) {
  await fingers.down(place);
  await hearsBoard(page, heard);
  const seen = await look();
  await fingers.up();
  return seen;
}

// Waits long enough for a long press to have fired, to show that none did.
const longerThanALongPress = page => page.waitForTimeout(900);

// The board's grid along one line of a screenshot's device pixels: where its first border starts
// and its last ends, and the span of each cell (from one cell's white inside to the next one's).
// Every pixel from the first border to the last is pure black or white: a board painted for other
// device pixels than it covers would be resampled on its way to the screen, and show greys.
function gridAlong(colours, where) {
  const first = colours.findIndex(c => same(c, Black));
  assert.ok(first >= 0, `no board ${where}`);
  const insides = [];
  let at = first;
  for (let cell = 0; cell < 25; ++cell) {
    while (at < colours.length && same(colours[at], Black))
      ++at;
    assert.ok(same(colours[at] ?? [], White), `cell ${cell} ${where} starts with ${colours[at]} at ${at}`);
    insides.push(at);
    while (at < colours.length && same(colours[at], White))
      ++at;
    assert.ok(same(colours[at] ?? [], Black), `cell ${cell} ${where} ends with ${colours[at]} at ${at}`);
  }
  while (at < colours.length && same(colours[at], Black))
    ++at;
  return {first, end: at, spans: insides.slice(1).map((inside, i) => inside - insides[i])};
}

// The window on a screen as its screenshot shows it: the board where the fit puts it, tiled with
// cells of whole device pixels, crisp; the side controls in their places at the same scale; the
// page around in the game's green; nothing to scroll.
async function checkFit(page, screen, name) {
  const fit = fitted(screen), r = screen.ratio;
  const side = 600 * fit.scale * r, left = fit.left * r, top = fit.top * r;
  const image = decodePng(await page.screenshot());
  assert.deepEqual([image.width, image.height], [Math.round(screen.width * r), Math.round(screen.height * r)]);
  const row = Math.floor(top + side / 2), column = Math.floor(left + side / 2);
  const across = gridAlong(Array.from({length: image.width}, (_, x) => image.pixel(x, row)), `across, ${name}`);
  const down = gridAlong(Array.from({length: image.height}, (_, y) => image.pixel(column, y)), `down, ${name}`);
  for (const [got, expected, what] of [[across.first, left, 'left edge'], [down.first, top, 'top edge'],
                                       [across.end - across.first, side, 'width'],
                                       [down.end - down.first, side, 'height']])
    assert.ok(Math.abs(got - expected) <= 1, `board's ${what} at ${got} device pixels, not ${expected.toFixed(1)}, ${name}`);
  for (const spans of [across.spans, down.spans]) {
    const cell = (across.end - across.first) / 25;
    assert.ok(spans.every(s => s === Math.floor(cell) || s === Math.ceil(cell)),
              `cells of ${spans} device pixels where the board's ${cell} a cell are whole pixels, ${name}`);
  }
  // The side column, at the window's scale: the scroll bar's value, the size label, the button.
  const at = (x, y) => image.pixel(Math.floor(left + x * fit.scale * r), Math.floor(top + y * fit.scale * r));
  const places = {
    'the window beside the controls': [at(650, 60), Green],
    'the size label': [at(603, 147), White],
    'the check button': [at(606, 452), Salmon],
    "the page's top left corner": [image.pixel(0, 0), Green],
    "the page's bottom right corner": [image.pixel(image.width - 1, image.height - 1), Green],
  };
  for (const [place, [got, colour]] of Object.entries(places))
    assert.deepEqual(got, colour, `${place}, ${name}`);
  const scrolling = await page.evaluate(() => {
    const page = document.scrollingElement;
    return [page.scrollWidth - page.clientWidth, page.scrollHeight - page.clientHeight, visualViewport.scale];
  });
  assert.deepEqual(scrolling, [0, 0, 1], `nothing to scroll and no zoom, ${name}`);
  console.log(`${name}: window ${(688 * fit.scale).toFixed(1)} x ${(600 * fit.scale).toFixed(1)} CSS pixels ` +
              `at (${fit.left.toFixed(1)}, ${fit.top.toFixed(1)}), board ${across.end - across.first} device pixels, ` +
              `a cell ${(24 * fit.scale).toFixed(1)} CSS pixels`);
}

const parts = {
  // A finger on a phone: taps, long presses, pans, pinches and cancels, the scroll bar and the
  // button, and the message box.
  async touch({browser, base}) {
    const screen = Screens['phone portrait'];
    const {context, page, problems} = await openGame(browser, base, screen);
    const fingers = await touchScreen(context, page);
    const looks = (...cells) => cellLooks(page, screen.ratio, cells);

    // A tap places a chip and a second one takes it; a fingertip that rolls a little as it lifts
    // still taps the cell it landed on.
    await fingers.tap(await cellMiddle(page, 2, 3), [4, -4]);
    assert.deepEqual(await shown(page), [' 1 Chips ', '25x25 board, 1 chip, 0 marked cells']);
    assert.deepEqual(await looks([2, 3], [3, 2]), ['chip', 'empty']);
    await fingers.tap(await cellMiddle(page, 2, 3));
    assert.deepEqual(await shown(page), [' 0 Chips ', '25x25 board, 0 chips, 0 marked cells']);

    // A long press marks the cell while the finger is still down, and its lift does nothing more.
    const marked = await longPress(page, fingers, await cellMiddle(page, 5, 5),
                                   '25x25 board, 0 chips, 1 marked cell', () => looks([5, 5]));
    assert.deepEqual(marked, ['marked']);
    await longerThanALongPress(page);
    assert.deepEqual(await shown(page), [' 0 Chips ', '25x25 board, 0 chips, 1 marked cell']);
    assert.deepEqual(await looks([5, 5]), ['marked']);
    // On a chip it marks the cell and takes the chip: the count goes down by one.
    await fingers.tap(await cellMiddle(page, 8, 1));
    await fingers.tap(await cellMiddle(page, 9, 1));
    assert.equal((await shown(page))[0], ' 2 Chips ');
    await longPress(page, fingers, await cellMiddle(page, 8, 1), '25x25 board, 1 chip, 2 marked cells', () => {});
    assert.deepEqual(await shown(page), [' 1 Chips ', '25x25 board, 1 chip, 2 marked cells']);
    assert.deepEqual(await looks([8, 1], [9, 1]), ['marked', 'chip']);
    // On a mark it clears the mark.
    await longPress(page, fingers, await cellMiddle(page, 5, 5), '25x25 board, 1 chip, 1 marked cell', () => {});
    assert.deepEqual(await looks([5, 5]), ['empty']);

    // A pan, a pinch and a cancelled touch play nothing, however long they last; the next tap
    // plays as ever.
    const before = await shown(page);
    const [x, y] = await cellMiddle(page, 12, 12);
    await Promise.all([fingers.down([x, y]), fingers.move([x + 30, y])]);
    await longerThanALongPress(page);
    await fingers.up();
    await Promise.all([fingers.down([x, y]), fingers.down([x, y], [x + 60, y + 60])]);
    await longerThanALongPress(page);
    await fingers.up();
    await Promise.all([fingers.down([x, y]), fingers.cancel()]);
    await longerThanALongPress(page);
    assert.deepEqual(await shown(page), before);
    assert.deepEqual(await looks([12, 12], [14, 14]), ['empty', 'empty']);
    await fingers.tap([x, y]);
    assert.deepEqual(await looks([12, 12]), ['chip']);

    // A finger drags the scroll bar's thumb, at the window's scale: half way along the track is
    // half way from 3 to 25.
    const [track, thumb] = [await page.locator('#SizeScroll .track').boundingBox(),
                            await page.locator('#SizeScroll .thumb').boundingBox()];
    const grab = [thumb.x + thumb.width / 2, thumb.y + thumb.height / 2];
    await fingers.down(grab);
    for (const step of [0.25, 0.5, 0.75, 1])
      await fingers.move([grab[0] + step * (track.x + (track.width - thumb.width) / 2 - thumb.x), grab[1]]);
    await fingers.up();
    assert.deepEqual(await shown(page), [' 0 Chips ', '14x14 board, 0 chips, 0 marked cells']);
    await page.keyboard.press('End');

    // The scroll bar's arrows and the button take taps; the open message box takes the board's.
    await fingers.tap(await middleOf(page, '#SizeScroll .arrow >> nth=0'));
    assert.deepEqual(await shown(page), [' 0 Chips ', '24x24 board, 0 chips, 0 marked cells']);
    await fingers.tap(await middleOf(page, '#SizeScroll .arrow >> nth=1'));
    assert.equal(await page.$eval('#SizeOf', label => label.textContent), '25x25');
    await fingers.tap(await cellMiddle(page, 0, 0));
    await fingers.tap(await middleOf(page, '#Test'));
    await page.waitForSelector('#MessageBox[open]');
    assert.equal(await page.$eval('#MessageText', text => text.textContent),
                 'There is no line! Your result of 1 chips is a success!');
    await fingers.tap(await cellMiddle(page, 1, 1));
    await fingers.tap(await middleOf(page, '#MessageBox button'));
    await page.waitForFunction(() => !document.getElementById('MessageBox').open);
    assert.deepEqual(await shown(page), [' 1 Chips ', '25x25 board, 1 chip, 0 marked cells']);
    return problems;
  },

  // A pen on a tablet: its tip plays as a finger, its barrel button as the right mouse button.
  async pen({browser, base}) {
    const screen = Screens.tablet;
    const {context, page, problems} = await openGame(browser, base, screen);
    const session = await context.newCDPSession(page);
    const pen = (type, [x, y], button) => session.send('Input.dispatchMouseEvent', {
      type, x, y, button, buttons: type === 'mousePressed' ? {left: 1, right: 2}[button] : 0, clickCount: 1,
      pointerType: 'pen'});
    const looks = (...cells) => cellLooks(page, screen.ratio, cells);

    const tip = await cellMiddle(page, 3, 3);
    await Promise.all([pen('mousePressed', tip, 'left'), pen('mouseReleased', tip, 'left')]);
    assert.deepEqual(await shown(page), [' 1 Chips ', '25x25 board, 1 chip, 0 marked cells']);
    const held = await cellMiddle(page, 4, 4);
    await pen('mousePressed', held, 'left');
    await hearsBoard(page, '25x25 board, 1 chip, 1 marked cell');
    assert.deepEqual(await looks([4, 4]), ['marked']);
    await pen('mouseReleased', held, 'left');
    // The barrel button marks on release, once, though the browser also asks for a menu.
    const barrel = await cellMiddle(page, 3, 3);
    await pen('mousePressed', barrel, 'right');
    await pen('mouseReleased', barrel, 'right');
    assert.deepEqual(await shown(page), [' 0 Chips ', '25x25 board, 0 chips, 2 marked cells']);
    assert.deepEqual(await looks([3, 3], [4, 4]), ['marked', 'marked']);
    return problems;
  },

  // The mouse on the desktop, with the window scaled up: each button plays once, on the cell
  // under it, though the right button also brings the browser's menu event.
  async mouse({browser, base}) {
    const screen = Screens.desktop;
    const {page, problems} = await openGame(browser, base, screen);
    const looks = (...cells) => cellLooks(page, screen.ratio, cells);
    await page.mouse.click(...await cellMiddle(page, 24, 24));
    assert.deepEqual(await shown(page), [' 1 Chips ', '25x25 board, 1 chip, 0 marked cells']);
    await page.mouse.click(...await cellMiddle(page, 23, 0), {button: 'right'});
    assert.deepEqual(await shown(page), [' 1 Chips ', '25x25 board, 1 chip, 1 marked cell']);
    await page.mouse.click(...await cellMiddle(page, 24, 24), {button: 'right'});
    assert.deepEqual(await shown(page), [' 0 Chips ', '25x25 board, 0 chips, 2 marked cells']);
    assert.deepEqual(await looks([24, 24], [23, 0], [23, 24], [24, 23]), ['marked', 'marked', 'empty', 'empty']);
    return problems;
  },

  async fit({browser, base}) {
    const problems = [];
    for (const [name, screen] of Object.entries(Screens)) {
      const game = await openGame(browser, base, screen);
      await checkFit(game.page, screen, name);
      problems.push(...game.problems);
      await game.context.close();
    }
    return problems;
  },

  // A phone turned on its side keeps the game, and the board is painted anew for its new size.
  async rotation({browser, base}) {
    const [portrait, landscape] = [Screens['phone portrait'], Screens['phone landscape']];
    const {context, page, problems} = await openGame(browser, base, portrait);
    const fingers = await touchScreen(context, page);
    await fingers.tap(await cellMiddle(page, 2, 3));
    await longPress(page, fingers, await cellMiddle(page, 5, 5), '25x25 board, 1 chip, 1 marked cell', () => {});
    for (const [screen, name] of [[landscape, 'turned to landscape'], [portrait, 'turned back']]) {
      await page.setViewportSize({width: screen.width, height: screen.height});
      await page.waitForFunction(height => Math.abs(document.getElementById('Board').getBoundingClientRect().height - height) < 1,
                                 600 * fitted(screen).scale);
      await checkFit(page, screen, name);
      assert.deepEqual(await cellLooks(page, screen.ratio, [[2, 3], [5, 5], [3, 2]]), ['chip', 'marked', 'empty'], name);
      assert.equal((await shown(page))[0], ' 1 Chips ');
    }
    return problems;
  },

  // The start window shows before the board has loaded, exactly as the board then paints it, and
  // what the player does in the meantime is played once the board is ready: once, in order.
  async start({browser, base, extra}) {
    const problems = [];
    const holdBoard = () => {
      let release;
      extra.set('board.wasm', {held: new Promise(resolve => release = resolve)});
      return release;
    };
    // Shown, with its script running (it puts the focus on the scroll bar), the board still away.
    const shownEarly = async page => {
      await page.waitForFunction(() => performance.getEntriesByName('first-contentful-paint').length > 0 &&
                                       document.activeElement?.id === 'SizeScroll');
      assert.ok(await page.$('#StartBoard'), 'the board has not loaded yet');
    };

    let release = holdBoard();
    let game = await openGame(browser, base, {ready: false});
    await shownEarly(game.page);
    const window = {clip: {x: 0, y: 0, width: 688, height: 600}};
    const early = await game.page.screenshot(window);
    assert.deepEqual(await screenshotPixels(game.page, [[12, 12], [0, 12], [23, 12], [599, 599], [650, 60]]),
                     [White, Black, Black, Black, Green], 'the start board of 24-pixel cells');
    assert.deepEqual(await game.page.evaluate(() => ['SizeOf', 'Number', 'Test'].map(id => document.getElementById(id).textContent)),
                     ['25x25', ' 0 Chips ', 'Check Me!']);
    release();
    await boardReady(game.page);
    assert.ok(early.equals(await game.page.screenshot(window)), 'the board paints the very window the page showed');
    problems.push(...game.problems);
    await game.context.close();

    const screen = Screens['phone portrait'];
    release = holdBoard();
    game = await openGame(browser, base, {...screen, ready: false});
    const {context, page} = game;
    await shownEarly(page);
    const fingers = await touchScreen(context, page);
    await fingers.tap(await cellMiddle(page, 2, 3));
    await fingers.down(await cellMiddle(page, 5, 5));
    await longerThanALongPress(page);
    await fingers.up();
    await page.mouse.click(...await cellMiddle(page, 7, 7), {button: 'right'});
    assert.deepEqual(await shown(page), [' 0 Chips ', '25x25 board, 0 chips, 0 marked cells'], 'nothing played yet');
    release();
    await boardReady(page);
    assert.deepEqual(await shown(page), [' 1 Chips ', '25x25 board, 1 chip, 2 marked cells']);
    assert.deepEqual(await cellLooks(page, screen.ratio, [[2, 3], [5, 5], [7, 7]]), ['chip', 'marked', 'marked']);
    problems.push(...game.problems);
    return problems;
  },
};

if (!parts[part])
  throw new Error('no such part: ' + part);
runTest(siteDir, part, parts[part]);
