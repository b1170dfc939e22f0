// The game's window in a web page: the browser's part only. The board module decides what each
// event means, what it changes and how the board looks; this script hands it the page's events and
// lends it a canvas, the two captions and a message box.
//
// It runs at the top of the page, while the style sheet is still on its way, so that the window
// is fitted to the screen before it is first painted and takes the player's input from then on:
// every handler listens on the page as a whole, and finds the window's parts when an event comes.
// The window shows at once with the board's own picture of a new game, drawn at build time, and
// what the player does before the board has loaded is played, in order, once it has.
'use strict';
const $ = id => document.getElementById(id);
const design = JSON.parse($('Design').textContent);
const decoder = new TextDecoder();
let game = null;    // the board module's exports, once it has loaded
let context = null; // the board canvas's, from then on
let ratio = 1;      // device pixels to a layout pixel at the window's scale, as the board is painted
let sizeValue = design.SizeScroll.value;

const waiting = [];
function play(call) {
  if (game)
    call();
  else
    waiting.push(call);
}

const text = (at, length) => decoder.decode(new Uint8Array(game.memory.buffer, at, length));
const colour = (red, green, blue) => `rgb(${red} ${green} ${blue})`;

// What the board module asks of the page, in device pixels of the canvas.
const page = {
  fillRect(left, top, width, height, red, green, blue) {
    context.fillStyle = colour(red, green, blue);
    context.fillRect(left, top, width, height);
  },
  fillDisc(left, top, width, height, red, green, blue) {
    context.fillStyle = colour(red, green, blue);
    context.beginPath();
    context.ellipse(left + width / 2, top + height / 2, width / 2, height / 2, 0, 0, 2 * Math.PI);
    context.fill();
  },
  setBoardPixels(side) {
    $('Board').width = $('Board').height = side;
  },
  setSizeCaption(at, length) {
    $('SizeOf').textContent = text(at, length);
  },
  setCountCaption(at, length) {
    $('Number').textContent = text(at, length);
  },
  setBoardDescription(at, length) {
    const description = text(at, length);
    $('Board').setAttribute('aria-description', description);
    $('Cells')?.setAttribute('aria-description', description);
  },
  startCells() {
    $('Cells').replaceChildren();
    rows = [];
    cells.clear();
  },
  showCell(k, column, row, left, top, width, height, at, length) {
    let cell = cells.get(k);
    if (!cell) {
      rows[row] ??= $('Cells').appendChild(element('row'));
      cell = rows[row].appendChild(element('gridcell'));
      cell.tabIndex = -1;
      cell.dataset.cell = k;
      // A handler of its own, where one on the page would do, makes the cell's action a click
      // on the cell itself for screen readers, rather than a click on the page around it.
      cell.onclick = Cell_Click;
      cells.set(k, cell);
    }
    // Every cell of a row has the same top and bottom edge, and so has the row.
    if (column === 0)
      rows[row].style.cssText = `top: ${top / ratio}px; height: ${height / ratio}px`;
    cell.style.cssText = `left: ${left / ratio}px; width: ${width / ratio}px; height: ${height / ratio}px`;
    cell.setAttribute('aria-label', text(at, length));
  },
  announce(at, length) {
    $('Said').textContent = text(at, length);
  },
  showMessageBox(title, titleLength, message, messageLength, icon, iconLength) {
    $('MessageTitle').textContent = text(title, titleLength);
    $('MessageText').textContent = text(message, messageLength);
    $('MessageBox').dataset.icon = text(icon, iconLength);
    $('MessageBox').showModal();
  },
};
// The module's only other call out is to stop, on a fault that leaves it no way on.
const imports = {page, wasi_snapshot_preview1: {proc_exit: code => { throw new Error(`the board stopped (${code})`); }}};

// Compiled while it downloads; a host that serves it under another type gets it compiled after.
async function loadBoard() {
  try {
    return await WebAssembly.instantiateStreaming(fetch('board.wasm'), imports);
  } catch {
    return WebAssembly.instantiate(await (await fetch('board.wasm')).arrayBuffer(), imports);
  }
}

// The board for screen readers: a grid of named cells over the canvas, each cell over its painted
// square, which the mouse passes through to the canvas. The page cannot tell whether a screen
// reader runs, so the grid is built for every player, but only once the board is up and the
// browser is idle, never in the way of the window's first paint or the board's loading.
let cells = null; // the grid's cells by the board's index, once it is built
let rows = [];    // its rows, from the top
function element(role) {
  const made = document.createElement('div');
  made.setAttribute('role', role);
  return made;
}
function buildCells() {
  const grid = element('grid'), said = document.createElement('div'), board = $('Board');
  grid.id = 'Cells';
  grid.setAttribute('aria-label', design.Board.name);
  grid.setAttribute('aria-description', board.getAttribute('aria-description'));
  grid.style.cssText = `left: ${design.Board.left}px; top: ${design.Board.top}px; ` +
                       `width: ${design.Board.width}px; height: ${design.Board.height}px`;
  said.id = 'Said';
  said.setAttribute('aria-live', 'polite');
  // The grid is the board for screen readers from now on; the picture would only repeat it.
  board.setAttribute('aria-hidden', 'true');
  board.after(grid, said);
  cells = new Map();
  game.showCells();
}
const cellOf = target => target?.dataset?.cell === undefined ? -1 : parseInt(target.dataset.cell, 10);

// A focused cell takes the keys the board takes in every window; Tab leaves the grid for the
// window's controls, whose ring it never joins.
const cellKeys = {ArrowLeft: 'Left', ArrowRight: 'Right', ArrowUp: 'Up', ArrowDown: 'Down',
                  ' ': 'Place', Enter: 'Place', m: 'Mark', M: 'Mark'};
function Cell_KeyDown(event) {
  const key = cellKeys[event.key];
  if (event.key === 'Tab') {
    (event.shiftKey ? $('Test') : $('SizeScroll')).focus();
    event.preventDefault();
  }
  if (!key || event.ctrlKey || event.altKey || event.metaKey)
    return;
  event.preventDefault();
  // A held arrow keeps moving; a held Space, Enter or M plays once.
  if (event.repeat && (key === 'Place' || key === 'Mark'))
    return;
  const cursor = game.cellKey(design.boardKeys[key]);
  if (cursor >= 0 && cursor !== cellOf(event.target))
    cells.get(cursor).focus();
}

// The cursor, and its ring on the canvas, are wherever a screen reader puts the focus in the grid.
addEventListener('focusin', event => {
  if (cellOf(event.target) >= 0)
    game.cellFocused(cellOf(event.target));
});
addEventListener('focusout', event => {
  if (cellOf(event.target) >= 0 && cellOf(event.relatedTarget) < 0)
    game.cellFocused(-1);
});

// Once the page's body has been read. The window already shows, fitted, and takes input.
function Form_Load() {
  showScrollValue();
  $('SizeScroll').focus();
  // The box is opened from Check Me!, and the keyboard goes back there when it closes, as in the
  // other windows, also when a screen reader's click on its button leaves Chromium's focus on
  // the page.
  $('MessageBox').addEventListener('close', () => $('Test').focus());
}

// The designed window, scaled as a whole to the largest size that fits the page and centred in
// it. The scale puts the board's edge on a whole device pixel, and the window's corner too, so
// that the board's canvas covers exactly the device pixels it is painted for and stays crisp at
// any size. Returns the board's device pixels to a layout pixel.
function fitWindow() {
  const density = window.devicePixelRatio || 1, root = document.documentElement;
  const room = [root.clientWidth, root.clientHeight], designed = [design.window.width, design.window.height];
  const largest = Math.min(room[0] / designed[0], room[1] / designed[1]);
  const boardPixels = Math.max(1, Math.floor(largest * design.Board.width * density));
  const scale = boardPixels / (design.Board.width * density);
  const edge = i => Math.round((room[i] - designed[i] * scale) / 2 * density) / density;
  root.style.setProperty('--scale', scale);
  root.style.setProperty('--left', `${edge(0)}px`);
  root.style.setProperty('--top', `${edge(1)}px`);
  return boardPixels / design.Board.width;
}

// The canvas has no cells to create: the board only needs painting for the device pixels it
// covers, at the window's scale on this screen, whenever that changes.
function loadpieces() {
  ratio = fitWindow();
  if (game)
    game.showWindow(ratio);
}

function SizeScroll_Change() {
  play(() => game.sizeChanged(sizeValue));
}

function Test_Click() {
  play(() => game.checkClicked());
}

// A pointer's place in the window's layout pixels, whatever the window's scale; the board takes
// it in device pixels at the density it is painted at when the event is played.
function layoutPoint(event) {
  // While the message box is open the pointer is the box's: the window sees it nowhere.
  if ($('MessageBox')?.open)
    return [-1, -1];
  const area = $('Form1').getBoundingClientRect(), scale = area.width / design.window.width;
  return [(event.clientX - area.left) / scale, (event.clientY - area.top) / scale];
}
const inDevicePixels = ([x, y]) => [x * ratio, y * ratio];

// A mouse's buttons, and a pen's barrel button, count on release over a cell if they went down
// on the board; every press and release anywhere goes to the board, which decides. A button
// pressed or released while another is held comes as a pointer move.
const buttonBits = [1, 4, 2, 8, 16, 32]; // event.button's bit in event.buttons
const gameButton = button => [1, 4, 2][button] ?? 0;
function buttonChanged(event) {
  if (!(event.buttons & buttonBits[event.button]))
    return Square_MouseUp(event);
  const point = layoutPoint(event), button = gameButton(event.button);
  play(() => game.buttonPressed(button, ...inDevicePixels(point)));
}
function Square_MouseUp(event) {
  const point = layoutPoint(event), button = gameButton(event.button);
  play(() => game.buttonReleased(button, ...inDevicePixels(point)));
}

// A finger, or a pen's tip, is a touch: the board makes a tap or a long press of it, and needs
// from the page only a timer from each touch's down. A page too busy to run that timer on time
// still plays a touch held long enough as a long press: its timer is caught up with before any
// later event of the same touch.
const touches = new Map(); // pointerId → its long-press timer, while it runs
function touchHeld(id) {
  clearTimeout(touches.get(id)?.timer);
  touches.delete(id);
  play(() => game.touchHeld(id));
}
function catchUpLongPresses(time) {
  for (const [id, {due}] of touches)
    if (due <= time)
      touchHeld(id);
}
function touchDown(event) {
  const id = event.pointerId, point = layoutPoint(event), due = event.timeStamp + design.touch.longPressMilliseconds;
  touches.set(id, {due, timer: setTimeout(() => touchHeld(id), due - performance.now())});
  play(() => game.touchDown(id, ...inDevicePixels(point)));
}
function touchMoved(event) {
  const id = event.pointerId, point = layoutPoint(event), density = window.devicePixelRatio || 1;
  play(() => game.touchMoved(id, ...inDevicePixels(point), density));
}
function touchEnded(event) {
  const id = event.pointerId;
  clearTimeout(touches.get(id)?.timer);
  touches.delete(id);
  if (event.type === 'pointerup')
    play(() => game.touchUp(id));
  else
    play(() => game.touchCancelled(id));
}

const touching = new Set(); // pointers down as a touch
const isTouch = event => event.pointerType !== 'mouse' && event.button === 0;
// A real pointer passes through the grid to the canvas: the presses a cell of the grid receives
// come with a screen reader's click on it, which plays as the click.
const onGrid = event => cellOf(event.target) >= 0;
addEventListener('pointerdown', event => {
  if (onGrid(event))
    return;
  catchUpLongPresses(event.timeStamp);
  if (!isTouch(event))
    return buttonChanged(event);
  touching.add(event.pointerId);
  touchDown(event);
});
addEventListener('pointermove', event => {
  if (onGrid(event))
    return;
  catchUpLongPresses(event.timeStamp);
  if (event.button >= 0)
    buttonChanged(event);
  else if (touching.has(event.pointerId))
    touchMoved(event);
});
for (const type of ['pointerup', 'pointercancel'])
  addEventListener(type, event => {
    if (onGrid(event))
      return;
    catchUpLongPresses(event.timeStamp);
    if (touching.has(event.pointerId) && (event.button <= 0 || type === 'pointercancel')) {
      touching.delete(event.pointerId);
      touchEnded(event);
    } else if (type === 'pointerup') {
      buttonChanged(event);
    }
  });
// A right click is played by its release alone, and Android's long press by the page's own
// timer: the menu either would bring up is only kept away from the board.
// A screen reader's click on a cell of the grid is the left button there, and its context menu,
// the Menu key's too, the right button.
function Cell_Click(event) {
  game.playCell(cellOf(event.target), gameButton(0));
}
addEventListener('contextmenu', event => {
  if (event.target.id === 'Board' || cellOf(event.target) >= 0)
    event.preventDefault();
  if (cellOf(event.target) >= 0)
    game.playCell(cellOf(event.target), gameButton(2));
});

// The scroll bar: its range from the design, every way of moving it one step, a drag only on
// release. The style sheet places the thumb along its track from the fraction, so that showing a
// value needs no layout to be worked out first, at start-up least of all.
const minSize = design.SizeScroll.minimum, maxSize = design.SizeScroll.maximum;
function showScrollValue(thumbValue = sizeValue) {
  $('SizeScroll').setAttribute('aria-valuenow', sizeValue);
  $('SizeScroll').querySelector('.thumb').style.setProperty('--along', (thumbValue - minSize) / (maxSize - minSize));
}

function setScrollValue(value) {
  value = Math.min(maxSize, Math.max(minSize, value));
  if (value !== sizeValue) {
    sizeValue = value;
    SizeScroll_Change();
  }
  showScrollValue();
}

// In the page's pixels, as the window is scaled, like the pointer's own place and grabbedAt.
function valueUnderPointer(event, grabbedAt) {
  const track = $('SizeScroll').querySelector('.track').getBoundingClientRect();
  const thumb = $('SizeScroll').querySelector('.thumb').getBoundingClientRect();
  const travel = track.width - thumb.width;
  const position = event.clientX - track.left - grabbedAt;
  return minSize + Math.round(Math.min(1, Math.max(0, position / travel)) * (maxSize - minSize));
}

function startDrag(event, thumb) {
  const grabbedAt = event.clientX - thumb.getBoundingClientRect().left;
  thumb.setPointerCapture(event.pointerId);
  thumb.onpointermove = move => showScrollValue(valueUnderPointer(move, grabbedAt));
  thumb.onpointerup = thumb.onpointercancel = up => {
    thumb.onpointermove = thumb.onpointerup = thumb.onpointercancel = null;
    setScrollValue(up.type === 'pointerup' ? valueUnderPointer(up, grabbedAt) : sizeValue);
  };
}

addEventListener('pointerdown', event => {
  const target = event.target;
  if (event.button !== 0 || !$('SizeScroll')?.contains(target))
    return;
  if (target.classList.contains('thumb'))
    startDrag(event, target);
  else if (target.classList.contains('arrow'))
    setScrollValue(sizeValue + parseInt(target.dataset.step, 10));
  else if (target.classList.contains('track'))
    setScrollValue(sizeValue + (event.clientX < target.firstElementChild.getBoundingClientRect().left ? -1 : 1));
});

const keySteps = {ArrowLeft: -1, ArrowUp: -1, PageUp: -1, ArrowRight: 1, ArrowDown: 1, PageDown: 1};
function SizeScroll_KeyDown(event) {
  if (event.key in keySteps)
    setScrollValue(sizeValue + keySteps[event.key]);
  else if (event.key === 'Home')
    setScrollValue(minSize);
  else if (event.key === 'End')
    setScrollValue(maxSize);
  else
    return;
  event.preventDefault();
}

// The window's tab order is a ring of its two controls, as in a desktop window.
function tabTo(event, to) {
  if (event.key === 'Tab' && event.shiftKey === (to.id === 'Test')) {
    to.focus();
    event.preventDefault();
  }
}
addEventListener('keydown', event => {
  if (event.target.id === 'SizeScroll') {
    SizeScroll_KeyDown(event);
    tabTo(event, $('Test'));
  } else if (event.target.id === 'Test') {
    tabTo(event, $('SizeScroll'));
  } else if (cellOf(event.target) >= 0) {
    Cell_KeyDown(event);
  }
});

// Only the two controls take the focus: a click elsewhere in the window leaves it where it was,
// and a click beside the open message box leaves it on the box's button.
addEventListener('mousedown', event => {
  const target = event.target;
  if (target.id === 'MessageBox' ||
      ($('Form1')?.contains(target) && !$('SizeScroll').contains(target) && target.id !== 'Test'))
    event.preventDefault();
});
addEventListener('click', event => {
  if (event.target.id === 'Test')
    Test_Click();
});

// Zooming or moving to another screen changes the density: the board is painted anew for it.
function followDensity() {
  matchMedia(`(resolution: ${window.devicePixelRatio}dppx)`).addEventListener('change', () => {
    loadpieces();
    followDensity();
  }, {once: true});
}

// A new size or orientation of the page scales the window anew: the board is painted for it.
addEventListener('resize', loadpieces);

ratio = fitWindow();
followDensity();
const bodyRead = new Promise(resolve => document.addEventListener('DOMContentLoaded', resolve, {once: true}));
bodyRead.then(Form_Load);
// The board's file is on its way from the page's start, but the board is compiled only once the
// window has been painted, so that it never holds up the window's first paint.
const windowPainted = new Promise(resolve => requestAnimationFrame(() => setTimeout(resolve)));
Promise.all([windowPainted.then(loadBoard), bodyRead]).then(([{instance}]) => {
  game = instance.exports;
  game._initialize();
  context = $('Board').getContext('2d', {alpha: false});
  game.showWindow(ratio);
  $('StartBoard').remove();
  waiting.splice(0).forEach(call => call());
  (window.requestIdleCallback ?? setTimeout)(buildCells);
  // The offline copy is made once the board is up, so that it never competes with the game's
  // own files on the first visit.
  if ('serviceWorker' in navigator)
    navigator.serviceWorker.register('sw.js').catch(() => {});
});
