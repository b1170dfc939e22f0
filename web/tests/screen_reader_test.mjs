// The page as a blind player's screen reader gets it on Linux: Chromium's accessibility objects
// read over AT-SPI by atspi_reader.py, on an accessibility bus of the test's own, while the page
// is played with the keyboard and the screen reader's own actions.
//
//   dbus-run-session -- node screen_reader_test.mjs SITE_DIR PYTHON BUS_LAUNCHER
//
// The board must read as a table named "Board" of cells named by column and row, counted from 1,
// and what they hold, each cell's extents its painted square: 24 x 24 pixels on the 600-pixel
// board of 25 x 25, 25 x 25 on a board of 24, 36 x 36 on a window fitted at 1.5 times its size.
// Every expected value is written out here from the game's description.
import {openGame, runTest, screenshotPixels} from './page_harness.mjs';
import assert from 'node:assert/strict';
import {spawn} from 'node:child_process';
import readline from 'node:readline';

const [siteDir, python, busLauncher] = process.argv.slice(2);
const Brown = [192, 64, 0], Yellow = [255, 255, 0];

// The reader, started before the browser so that the browser finds the accessibility bus up.
const reader = spawn(python, [new URL('atspi_reader.py', import.meta.url).pathname, busLauncher],
                     {stdio: ['pipe', 'pipe', 'inherit']});
const answers = readline.createInterface({input: reader.stdout})[Symbol.asyncIterator]();
async function answer() {
  const {value, done} = await answers.next();
  if (done)
    throw new Error('the AT-SPI reader ended');
  return JSON.parse(value);
}
async function ask(read, request = {}) {
  reader.stdin.write(JSON.stringify({read, ...request}) + '\n');
  const {reply, error} = await answer();
  if (error)
    throw new Error(`${read}: ${error}`);
  return reply;
}
assert.deepEqual(await answer(), {ready: true});

// Polls the reader until `check` accepts what it reads; the bus brings changes a moment later.
async function until(what, read, request, check) {
  let last;
  for (const deadline = Date.now() + 20000; Date.now() < deadline;) {
    last = await ask(read, request);
    if (check(last))
      return last;
    await new Promise(resolve => setTimeout(resolve, 50));
  }
  throw new Error(`${what}: the screen reader read ${JSON.stringify(last)}`);
}

// The browser gets the test's own session bus and no display: the same on a bare machine and
// inside a person's desktop session.
const env = {...process.env, ACCESSIBILITY_ENABLED: '1'};
for (const name of ['DISPLAY', 'WAYLAND_DISPLAY', 'AT_SPI_BUS_ADDRESS'])
  delete env[name];
const browserOptions = {args: ['--force-renderer-accessibility'], env};

const name = (x, y, holds) => `column ${x + 1}, row ${y + 1}, ${holds}`;
const cellRequest = (x, y, holds) => ({at: [y, x], cell: name(x, y, holds)});
const heard = text => until(`"${text}" announced`, 'announcements', {}, said => said.includes(text));
const focusIs = (what, check) => until(`the focus on ${what}`, 'focus_is', {}, check);
const cellIs = (x, y, holds) => until(`cell (${x}, ${y}) ${holds}`, 'cells', {at: [[y, x]]},
                                      ([cell]) => cell.name === name(x, y, holds));

// The board's table and its cells on a board of `size`, whose top-left corner is the page's,
// with cells `side` pixels across: every cell of one row and one column, and the corners.
async function checkBoard(size, side, description) {
  const window = await until(`a table of ${size} x ${size}`, 'window', {},
                             w => w?.rows === size && w.columns === size && w.row_objects === size);
  const [left, top] = window.document.extents;
  const roles = window.controls.map(c => `${c.role} "${c.name}"`);
  assert.deepEqual(roles, ['table "Board"', 'scroll bar "Board size"', 'button "Check Me!"'],
                   'the board reads once, as its table; its picture is not read beside it');
  const board = window.controls[0];
  assert.deepEqual(board.extents, [left, top, size * side, size * side], 'the table covers the board');
  assert.equal(board.description, description);
  const last = size - 1, places = [[0, 0], [last, 0], [0, last], [last, last]];
  for (let i = 0; i < size; ++i)
    places.push([i, 3], [2, i]);
  const cells = await ask('cells', {at: places.map(([x, y]) => [y, x])});
  cells.forEach((cell, i) => {
    const [x, y] = places[i];
    assert.deepEqual([cell.role, cell.name, cell.extents],
                     ['table cell', name(x, y, 'empty'), [left + x * side, top + y * side, side, side]],
                     `cell (${x}, ${y})`);
  });
  return window;
}

// The focus ring 3 pixels inside the cell's left edge, half way down, at one device pixel a
// layout pixel: dark with the ring, the cell's own colour without.
async function ringShows(page, x, y) {
  const [[r, g, b]] = await screenshotPixels(page, [[x * 24 + 3, y * 24 + 12]]);
  return r + g + b < 3 * 64;
}

async function play(browser, base) {
  const {page, problems} = await openGame(browser, base);
  const start = await checkBoard(25, 24, '25x25 board, 0 chips, 0 marked cells');
  console.log('the board: ' + JSON.stringify(start.controls));
  const [[first], [cell]] = [await ask('cells', {at: [[0, 0]]}), await ask('cells', {at: [[3, 2]]})];
  console.log('cells: ' + JSON.stringify([first, cell]));

  // The screen reader's two actions on a cell: its click places a chip, its context menu marks.
  assert.deepEqual(await ask('act', {...cellRequest(2, 3, 'empty'), action: 'click'}), ['click', 'showContextMenu']);
  await cellIs(2, 3, 'chip');
  await heard('column 3, row 4, chip, 1 chip on the board');
  assert.deepEqual(await screenshotPixels(page, [[60, 84]]), [Brown], 'the chip is painted');
  await ask('act', {...cellRequest(2, 3, 'chip'), action: 'showContextMenu'});
  await cellIs(2, 3, 'marked');
  await heard('column 3, row 4, marked, 0 chips on the board');
  assert.deepEqual(await screenshotPixels(page, [[60, 84]]), [Yellow], 'the mark is painted');
  // Only the cell played changed.
  const around = await ask('cells', {at: [[3, 1], [3, 3], [2, 2], [4, 2]]});
  assert.deepEqual(around.map(c => c.name), [name(1, 3, 'empty'), name(3, 3, 'empty'),
                                             name(2, 2, 'empty'), name(2, 4, 'empty')]);

  // A cell the screen reader moves onto takes the board's keys, with the ring on it.
  await ask('focus', cellRequest(2, 3, 'marked'));
  await focusIs('column 3, row 4', f => f?.name === name(2, 3, 'marked'));
  assert.ok(await ringShows(page, 2, 3), 'the ring on the focused cell');
  await page.keyboard.press('ArrowRight');
  await focusIs('column 4, row 4', f => f?.name === name(3, 3, 'empty'));
  const [left, top] = start.document.extents;
  assert.deepEqual((await ask('focus_is')).extents, [left + 72, top + 72, 24, 24]);
  assert.deepEqual([await ringShows(page, 3, 3), await ringShows(page, 2, 3)], [true, false], 'the ring moved');
  await page.keyboard.press('Space');
  await heard('column 4, row 4, chip, 1 chip on the board');
  await page.keyboard.press('ArrowDown');
  await focusIs('column 4, row 5', f => f?.name === name(3, 4, 'empty'));
  await page.keyboard.press('m');
  await heard('column 4, row 5, marked, 1 chip on the board');
  await page.keyboard.press('Enter');
  await heard('column 4, row 5, chip, 2 chips on the board');
  await focusIs('column 4, row 5 holding a chip', f => f?.name === name(3, 4, 'chip'));
  await page.keyboard.press('ArrowLeft');
  await page.keyboard.press('ArrowUp');
  await focusIs('column 3, row 4', f => f?.name === name(2, 3, 'marked'));
  // At the edges the cursor stays.
  await ask('focus', cellRequest(0, 0, 'empty'));
  await focusIs('column 1, row 1', f => f?.name === name(0, 0, 'empty'));
  await page.keyboard.press('ArrowLeft');
  await page.keyboard.press('ArrowUp');
  await page.keyboard.press('ArrowRight');
  await focusIs('column 2, row 1', f => f?.name === name(1, 0, 'empty'));
  // Tab leaves the board for the scroll bar, and the ring goes with the focus.
  await page.keyboard.press('Tab');
  await focusIs('the scroll bar', f => f?.name === 'Board size');
  assert.equal(await ringShows(page, 1, 0), false, 'no ring once the board has lost the focus');

  // The tab order is the window's two controls alone: never into the board.
  for (const [key, to] of [['Tab', 'Check Me!'], ['Tab', 'Board size'], ['Shift+Tab', 'Check Me!'],
                           ['Shift+Tab', 'Board size']]) {
    await page.keyboard.press(key);
    await focusIs(to, f => f?.name === to);
  }

  // A new size is a new game, with a new table of the new size, and heard as such.
  await page.keyboard.press('ArrowLeft');
  await heard('New game, 24x24');
  await checkBoard(24, 25, '24x24 board, 0 chips, 0 marked cells');
  await ask('act', {...cellRequest(23, 23, 'empty'), action: 'click'});
  await heard('column 24, row 24, chip, 1 chip on the board');

  // Each message box reads by its own title and message, the second as well as the first.
  // A screen reader reads the box as the focus comes to its button: its name and message must be
  // there by then.
  const boxReads = async (title, text) => {
    await focusIs('the box\'s button', f => f?.name === 'OK');
    const box = await ask('box');
    assert.deepEqual([box?.name, box?.description], [title, text]);
  };
  await page.focus('#Test');
  await focusIs('Check Me!', f => f?.name === 'Check Me!');
  await page.keyboard.press('Enter');
  await boxReads('No Line Found!', 'There is no line! Your result of 1 chips is a success!');
  await page.keyboard.press('Escape');
  await focusIs('Check Me! once the box has closed', f => f?.name === 'Check Me!');
  await ask('act', {...cellRequest(21, 23, 'empty'), action: 'click'});
  await ask('act', {...cellRequest(22, 23, 'empty'), action: 'click'});
  await heard('column 23, row 24, chip, 3 chips on the board');
  await page.focus('#Test');
  await page.keyboard.press('Enter');
  await boxReads('Line Found', 'There is a line of 3 chips. Try again!');
  console.log('heard: ' + JSON.stringify(await ask('announcements')));
  await page.context().close();
  return problems;
}

// The window fitted to a page 1.5 times its size: the cells' extents are their painted squares.
async function fitted(browser, base) {
  const {page, problems} = await openGame(browser, base, {width: 1032, height: 900});
  await checkBoard(25, 36, '25x25 board, 0 chips, 0 marked cells');
  await page.context().close();
  return problems;
}

// The reader ends with its input, when this process does.
runTest(siteDir, 'screen reader', async ({browser, base}) =>
  [...await play(browser, base), ...await fitted(browser, base)], browserOptions);
