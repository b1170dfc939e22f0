// The game's window in a web page: the browser's part only. The board module decides what each
// event means, what screen readers are told and how the board looks; this script hands it the
// page's events and lends it a canvas, the captions, a table of cells for screen readers and a box.
// The window shows before it runs, with the board's picture of a new game drawn at build time;
// once it runs, the window takes input, and what the player does before the board has loaded is
// played, in order, once it has. The build writes in the window's design from the board.
'use strict';
const $ = id => document.getElementById(id);
const design = {{design}};
const controlIds = Object.fromEntries(Object.entries(design.controls).map(([id, n]) => [n, id]));
let game = null; // the board module's exports, once it has loaded
let ratio = 1;   // device pixels to a layout pixel at the window's scale, as the board is painted

const waiting = [];
const play = call => game ? call() : waiting.push(call);

// The board for screen readers: a table of named cells over the canvas, each cell over its
// painted square, which the mouse passes through to the canvas. The page cannot tell whether a
// screen reader runs, so the table is built for every player, but only once the board is up and
// the browser is idle, never in the way of the window's first paint or the board's loading.
const table = {
  cells: null, // by the board's index, once the table is built
  rows: [],    // from the top
  element(role, parent = document.createDocumentFragment()) {
    const made = parent.appendChild(document.createElement('div'));
    made.setAttribute('role', role);
    return made;
  },
  build() {
    const grid = table.element('table'), said = document.createElement('div'), board = $('Board');
    grid.id = 'Cells';
    grid.setAttribute('aria-label', design.Board.name);
    grid.setAttribute('aria-description', board.getAttribute('aria-description'));
    said.id = 'Said';
    said.setAttribute('aria-live', 'polite');
    // The table is the board for screen readers from now on; the picture would only repeat it.
    board.setAttribute('aria-hidden', 'true');
    board.after(grid, said);
    table.cells = new Map();
    game.showCells();
  },
  replace() {
    $('Cells').replaceChildren();
    table.rows = [];
    table.cells.clear();
  },
  show(k, column, row, left, top, width, height, name) {
    let cell = table.cells.get(k);
    if (!cell) {
      table.rows[row] ??= table.element('row', $('Cells'));
      cell = table.element('cell', table.rows[row]);
      cell.tabIndex = -1;
      cell.dataset.cell = k;
      // A handler of its own, where one on the page would do, makes the cell's action a click
      // on the cell itself for screen readers, rather than a click on the page around it.
      cell.onclick = () => cell.isConnected && game.cellAction(k, 1);
      table.cells.set(k, cell);
    }
    // Every cell of a row has the same top and bottom edge, and so has the row.
    if (column === 0)
      table.rows[row].style.cssText = `top: ${top / ratio}px; height: ${height / ratio}px`;
    cell.style.cssText = `left: ${left / ratio}px; width: ${width / ratio}px; height: ${height / ratio}px`;
    cell.setAttribute('aria-label', name);
  },
  cellOf: target => target?.dataset?.cell === undefined ? -1 : parseInt(target.dataset.cell, 10),
};

// The size scroll bar, drawn by the page: every way of moving it with the pointer, a drag only on
// release; its keys are the game's. The style sheet places the thumb along its track from the
// fraction, so that showing a value needs no layout to be worked out first.
const scrollBar = {
  value: design.SizeScroll.value,
  min: design.SizeScroll.minimum,
  max: design.SizeScroll.maximum,
  show(thumbValue = scrollBar.value) {
    const {min, max} = scrollBar;
    $('SizeScroll').setAttribute('aria-valuenow', scrollBar.value);
    $('SizeScroll').querySelector('.thumb').style.setProperty('--along', (thumbValue - min) / (max - min));
  },
  moveTo(value) {
    value = Math.min(scrollBar.max, Math.max(scrollBar.min, value));
    if (value !== scrollBar.value)
      play(() => game.sizeChanged(value));
    scrollBar.show();
  },
  // In the page's pixels, as the window is scaled, like the pointer's own place and grabbedAt.
  valueUnder(event, grabbedAt) {
    const track = $('SizeScroll').querySelector('.track').getBoundingClientRect();
    const thumb = $('SizeScroll').querySelector('.thumb').getBoundingClientRect();
    const along = (event.clientX - track.left - grabbedAt) / (track.width - thumb.width);
    return scrollBar.min + Math.round(Math.min(1, Math.max(0, along)) * (scrollBar.max - scrollBar.min));
  },
  drag(event, thumb) {
    const grabbedAt = event.clientX - thumb.getBoundingClientRect().left;
    thumb.setPointerCapture(event.pointerId);
    thumb.onpointermove = move => scrollBar.show(scrollBar.valueUnder(move, grabbedAt));
    thumb.onpointerup = thumb.onpointercancel = up => {
      thumb.onpointermove = thumb.onpointerup = thumb.onpointercancel = null;
      scrollBar.moveTo(up.type === 'pointerup' ? scrollBar.valueUnder(up, grabbedAt) : scrollBar.value);
    };
  },
  pressed(event) {
    const target = event.target, {value} = scrollBar;
    if (target.classList.contains('thumb'))
      scrollBar.drag(event, target);
    else if (target.classList.contains('arrow'))
      scrollBar.moveTo(value + parseInt(target.dataset.step, 10));
    else if (target.classList.contains('track'))
      scrollBar.moveTo(value + (event.clientX < target.firstElementChild.getBoundingClientRect().left ? -1 : 1));
  },
};

const text = (at, length) => new TextDecoder().decode(new Uint8Array(game.memory.buffer, at, length));
let context = null; // the board canvas's, once the board has loaded
const paintIn = (red, green, blue) => context.fillStyle = `rgb(${red} ${green} ${blue})`;

// What the board module asks of the page, in device pixels of the canvas.
const page = {
  fillRect(left, top, width, height, red, green, blue) {
    paintIn(red, green, blue);
    context.fillRect(left, top, width, height);
  },
  fillDisc(left, top, width, height, red, green, blue) {
    paintIn(red, green, blue);
    context.beginPath();
    context.ellipse(left + width / 2, top + height / 2, width / 2, height / 2, 0, 0, 2 * Math.PI);
    context.fill();
  },
  setBoardPixels(side) {
    $('Board').width = $('Board').height = side;
  },
  setSize(at, length, value) {
    $('SizeOf').textContent = text(at, length);
    scrollBar.value = value;
    scrollBar.show();
  },
  setCount(at, length) {
    $('Number').textContent = text(at, length);
  },
  setBoardDescription(at, length) {
    const description = text(at, length);
    $('Board').setAttribute('aria-description', description);
    $('Cells')?.setAttribute('aria-description', description);
  },
  replaceCells: table.replace,
  showCell: (k, column, row, left, top, width, height, at, length) =>
    table.show(k, column, row, left, top, width, height, text(at, length)),
  focusCell(k) {
    const cell = table.cells?.get(k);
    if (cell && document.activeElement !== cell)
      cell.focus();
  },
  announce(at, length) {
    $('Said').textContent = text(at, length);
  },
  // The board has the keyboard on the cursor's cell, which focusCell gave it.
  focusControl(control) {
    if (control !== design.controls.Board)
      $(controlIds[control]).focus();
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

// The keys go to the game where the keyboard is, on one of the window's controls or a cell of the
// table; the game says whether a key was its own, which the browser then leaves alone.
addEventListener('keydown', event => {
  const target = event.target;
  const control = table.cellOf(target) >= 0 ? design.controls.Board : design.controls[target.id];
  const key = design.keys[event.key] ?? 0;
  if (!control)
    return;
  const command = event.ctrlKey || event.altKey || event.metaKey;
  const press = () => game.keyDown(control, key, event.shiftKey, command, event.repeat);
  if (game ? press() : key && !command && waiting.push(press))
    event.preventDefault();
});

// The cursor, and its ring on the canvas, are wherever a screen reader puts the focus in the table.
addEventListener('focusin', event => {
  if (table.cellOf(event.target) >= 0)
    game.cellFocused(table.cellOf(event.target));
});
addEventListener('focusout', event => {
  if (table.cellOf(event.target) >= 0 && table.cellOf(event.relatedTarget) < 0)
    game.boardBlurred();
});

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
  game?.showWindow(ratio);
}

// A pointer's place in the window's layout pixels, whatever the window's scale; the board takes
// it in device pixels at the density it is painted at when the event is played.
function devicePoint(event) {
  // While the message box is open the pointer is the box's: the window sees it nowhere.
  if ($('MessageBox')?.open)
    return [-1, -1];
  const area = $('Form1').getBoundingClientRect(), scale = area.width / design.window.width;
  return [(event.clientX - area.left) / scale * ratio, (event.clientY - area.top) / scale * ratio];
}

// A mouse's buttons, and a pen's barrel button, count on release over a cell if they went down
// on the board; every press and release anywhere goes to the board, which decides. A button
// pressed or released while another is held comes as a pointer move.
const buttonBits = [1, 4, 2, 8, 16, 32]; // event.button's bit in event.buttons
const gameButton = button => [1, 4, 2][button] ?? 0;
function buttonChanged(event) {
  const point = devicePoint(event), button = gameButton(event.button);
  if (event.buttons & buttonBits[event.button])
    play(() => game.buttonPressed(button, ...point));
  else
    play(() => game.buttonReleased(button, ...point));
}

// A finger, or a pen's tip, is a touch: the board makes a tap or a long press of it, and needs
// from the page only a timer from each touch's down. A page too busy to run that timer on time
// still plays a touch held long enough as a long press: its timer is caught up with before any
// later event of the same touch.
const touches = new Map(); // pointerId → its long-press timer, while it runs
function stopTimer(id) {
  clearTimeout(touches.get(id)?.timer);
  touches.delete(id);
}
function touchHeld(id) {
  stopTimer(id);
  play(() => game.touchHeld(id));
}
function catchUpLongPresses(time) {
  for (const [id, {due}] of touches)
    if (due <= time)
      touchHeld(id);
}
function touchDown(event) {
  const id = event.pointerId, point = devicePoint(event), due = event.timeStamp + design.touch.longPressMilliseconds;
  touches.set(id, {due, timer: setTimeout(() => touchHeld(id), due - performance.now())});
  play(() => game.touchDown(id, ...point));
}
function touchEnded(event) {
  const id = event.pointerId;
  stopTimer(id);
  play(() => event.type === 'pointerup' ? game.touchUp(id) : game.touchCancelled(id));
}

const touching = new Set(); // pointers down as a touch
const isTouch = event => event.pointerType !== 'mouse' && event.button === 0;
// A real pointer passes through the table to the canvas: the presses a cell of the table
// receives come with a screen reader's click on it, which plays as the click.
function routePointer(type, handle) {
  addEventListener(type, event => {
    if (table.cellOf(event.target) < 0) {
      catchUpLongPresses(event.timeStamp);
      handle(event);
    }
  });
}
routePointer('pointerdown', event => {
  if (event.button === 0 && $('SizeScroll').contains(event.target))
    scrollBar.pressed(event);
  if (!isTouch(event))
    return buttonChanged(event);
  touching.add(event.pointerId);
  touchDown(event);
});
routePointer('pointermove', event => {
  const id = event.pointerId, point = devicePoint(event), density = window.devicePixelRatio || 1;
  if (event.button >= 0)
    buttonChanged(event);
  else if (touching.has(id))
    play(() => game.touchMoved(id, ...point, density));
});
for (const type of ['pointerup', 'pointercancel'])
  routePointer(type, event => {
    if (touching.has(event.pointerId) && (event.button <= 0 || type === 'pointercancel')) {
      touching.delete(event.pointerId);
      touchEnded(event);
    } else if (type === 'pointerup') {
      buttonChanged(event);
    }
  });

// A right click is played by its release alone, and Android's long press by the page's own
// timer: the menu either would bring up is only kept away from the board. A screen reader's
// context menu on a cell of the table, the Menu key's too, is the right button there.
addEventListener('contextmenu', event => {
  const k = table.cellOf(event.target);
  if (event.target.id === 'Board' || k >= 0)
    event.preventDefault();
  if (k >= 0 && event.target.isConnected)
    game.cellAction(k, 2);
});

// Only the two controls take the focus: a click elsewhere in the window leaves it where it was,
// and a click anywhere beside the open message box leaves it on the box's button.
addEventListener('mousedown', event => {
  const target = event.target;
  if ($('MessageBox').open ? !$('MessageBox').contains(target) || target.id === 'MessageBox'
                           : $('Form1').contains(target) && !$('SizeScroll').contains(target) && target.id !== 'Test')
    event.preventDefault();
});
addEventListener('click', event => {
  if (event.target.id === 'Test')
    play(() => game.checkClicked());
});

// The look the player's system asks for, followed as it changes: under forced colours the
// player's own palette, which the browser gives as CSS system colours, read from a hidden probe;
// with more contrast asked for, the game's own colours for it.
// A switch from a light contrast theme to a dark one keeps forced colours on, and tells the page
// only as a change of colour scheme.
const forcedColours = matchMedia('(forced-colors: active)'), moreContrast = matchMedia('(prefers-contrast: more)');
const darkScheme = matchMedia('(prefers-color-scheme: dark)');
function systemColour(name) {
  const probe = document.body.appendChild(document.createElement('i'));
  probe.hidden = true;
  probe.style.color = name;
  const [red, green, blue] = getComputedStyle(probe).color.match(/\d+/g).map(Number);
  probe.remove();
  return red << 16 | green << 8 | blue;
}
function followLook() {
  const forced = forcedColours.matches;
  const palette = ['Canvas', 'CanvasText', 'Highlight', 'ButtonFace', 'ButtonText'].map(c => forced ? systemColour(c) : 0);
  game.setLook(forced || moreContrast.matches, forced, ...palette);
}
forcedColours.onchange = moreContrast.onchange = darkScheme.onchange = () => play(followLook);

// A new size or orientation of the page, a zoom or another screen's density scale the window
// anew: the board is painted for it.
function followDensity() {
  matchMedia(`(resolution: ${window.devicePixelRatio}dppx)`).addEventListener('change', () => {
    loadpieces();
    followDensity();
  }, {once: true});
}
addEventListener('resize', loadpieces);

ratio = fitWindow();
followDensity();
// The window's keyboard starts on the scroll bar; it goes back to Check Me! when the box closes,
// as in the other windows, also when a screen reader's click on its button leaves Chromium's
// focus on the page.
scrollBar.show();
$(design.window.firstFocus).focus();
$('MessageBox').addEventListener('close', () => $('Test').focus());
// The board's file is on its way from the page's start, but the board is compiled only once the
// window has been painted, so that it never holds up the window's first paint.
new Promise(resolve => requestAnimationFrame(() => setTimeout(resolve))).then(loadBoard).then(({instance}) => {
  game = instance.exports;
  game._initialize();
  context = $('Board').getContext('2d', {alpha: false});
  followLook();
  game.showWindow(ratio);
  $('StartBoard').remove();
  waiting.splice(0).forEach(call => call());
  // An idle moment may not come soon on a busy phone; a screen reader's player waits a second
  // at most for the cells.
  (window.requestIdleCallback ?? setTimeout)(table.build, {timeout: 1000});
  // The offline copy is made once the board is up, so that it never competes with the game's
  // own files on the first visit.
  if ('serviceWorker' in navigator)
    navigator.serviceWorker.register('sw.js').catch(() => {});
});
