// The page around the game: draws the 80 x 25 grid the game presents, hands
// it the keys, and runs the controls beside it. Each game, recording or
// replay is one run of the game's module; the galaxy store keeps the files.
'use strict';

const COLS = 80, ROWS = 25, CELL_BYTES = 3;
const DATABASE = 'starhollow';
const TUTORIAL = '/usr/share/starhollow/Tutorial.glx';
const GALAXY_NAME = /^[A-Za-z0-9_-]{1,19}$/;

const screenEl = document.getElementById('screen');
const statusEl = document.getElementById('status');

// ---- The grid --------------------------------------------------------------
const rowEls = [];
for (let y = 0; y < ROWS; ++y) {
  const row = document.createElement('div');
  row.className = 'row';
  rowEls.push(row);
  screenEl.appendChild(row);
}
const cursorEl = document.createElement('div');
cursorEl.id = 'cursor';
screenEl.appendChild(cursorEl);

const blank = new Uint8Array(COLS * ROWS * CELL_BYTES);
for (let i = 0; i < blank.length; i += CELL_BYTES) { blank[i] = 32; blank[i + 1] = 7; }
let cells = blank;
let cursor = {x: 0, y: 0, visible: false};
let title = '';

const charAt = (grid, i) => (grid[i] >= 32 && grid[i] < 127 ? String.fromCharCode(grid[i]) : ' ');

// One span for each run of cells in the same colours.
function drawRow(y) {
  const spans = [];
  let i = y * COLS * CELL_BYTES;
  const end = i + COLS * CELL_BYTES;
  while (i < end) {
    const fg = cells[i + 1] & 15, bg = cells[i + 2] & 15;
    let text = '';
    for (; i < end && (cells[i + 1] & 15) === fg && (cells[i + 2] & 15) === bg; i += CELL_BYTES) text += charAt(cells, i);
    const span = document.createElement('span');
    span.className = 'f' + fg + ' b' + bg;
    span.textContent = text;
    spans.push(span);
  }
  rowEls[y].replaceChildren(...spans);
}

function rowChanged(before, after, y) {
  for (let i = y * COLS * CELL_BYTES, end = i + COLS * CELL_BYTES; i < end; ++i)
    if (before[i] !== after[i]) return true;
  return false;
}

// Only the rows that changed are drawn again.
function paint(grid, x, y, visible) {
  const before = cells;
  cells = grid;
  for (let row = 0; row < ROWS; ++row)
    if (before === blank || rowChanged(before, grid, row)) drawRow(row);
  cursor = {x, y, visible};
  placeCursor();
}

// An underline in the text colour of the cell it stands on, as a console's.
function placeCursor() {
  const inside = cursor.x >= 0 && cursor.x < COLS && cursor.y >= 0 && cursor.y < ROWS;
  cursorEl.style.display = cursor.visible && inside ? 'block' : 'none';
  if (!inside) return;
  cursorEl.className = 'b' + (cells[(cursor.y * COLS + cursor.x) * CELL_BYTES + 1] & 15);
  cursorEl.style.left = cursor.x + 'ch';
  cursorEl.style.top = `calc(var(--row) * ${cursor.y + 1} - ${cursorEl.offsetHeight || 2}px)`;
}

// The grid keeps its shape and fills the window as far as it can, in rows
// of whole pixels. A row is 1.2 times the font's size.
const BASE_ROW = 24;
function fit() {
  const stage = document.getElementById('stage');
  screenEl.style.setProperty('--row', BASE_ROW + 'px');
  screenEl.style.fontSize = BASE_ROW / 1.2 + 'px';
  const scale = Math.min(stage.clientWidth / screenEl.offsetWidth, stage.clientHeight / screenEl.offsetHeight);
  const row = Math.max(6, Math.floor(BASE_ROW * scale));
  screenEl.style.setProperty('--row', row + 'px');
  screenEl.style.fontSize = row / 1.2 + 'px';
  placeCursor();
}
for (let y = 0; y < ROWS; ++y) drawRow(y);
fit();
window.addEventListener('resize', fit);

// Read-only: what is on the screen, for tests and assistive tools.
window.starhollow = Object.freeze({
  screen() {
    const text = [], fg = [], bg = [];
    for (let y = 0; y < ROWS; ++y) {
      let line = '';
      const fgRow = [], bgRow = [];
      for (let x = 0; x < COLS; ++x) {
        const i = (y * COLS + x) * CELL_BYTES;
        line += charAt(cells, i);
        fgRow.push(cells[i + 1] & 15);
        bgRow.push(cells[i + 2] & 15);
      }
      text.push(line);
      fg.push(fgRow);
      bg.push(bgRow);
    }
    return {text, fg, bg, cursor: Object.assign({}, cursor), title};
  },
});

function say(text) { statusEl.textContent = text; }

// ---- Runs of the game --------------------------------------------------------
let run = null;  // {module, ended (a promise of the exit status), kind}

async function makeModule(withStore) {
  return createStarhollow({
    galaxyDatabase: withStore ? DATABASE : undefined,
    onPresent: paint,
    onTitle: (text) => { title = text; document.title = text || 'Starhollow'; },
    onStorageRefused: (error) => say('The browser refused to store the galaxy: ' + ((error && error.name) || error)),
    onStoreUnavailable: (error) => say('This browser keeps no galaxies for the page (' + ((error && error.name) || error) +
                                       '): they last only while it is open.'),
    print: say,
    printErr: say,
  });
}

// The game's own code makes the tutorial's galaxy, byte for byte the one
// the desktop builds ship.
async function makeTutorial(module) {
  module.FS.mkdirTree(TUTORIAL.slice(0, TUTORIAL.lastIndexOf('/')));
  await module.ccall('starhollow_make_tutorial_galaxy', 'number', ['string'], [TUTORIAL], {async: true});
}

function callMain(module, args) {
  const all = ['starhollow'].concat(args);
  const argv = module._malloc(4 * (all.length + 1));
  all.forEach((arg, i) => { module.HEAP32[(argv >> 2) + i] = module.allocateUTF8(arg); });
  module.HEAP32[(argv >> 2) + all.length] = 0;
  return module.ccall('main', 'number', ['number', 'number'], [all.length, argv], {async: true})
    .catch((error) => { if (error && error.name === 'ExitStatus') return error.status; throw error; });
}

async function start(kind, args, prepare) {
  const module = await makeModule(kind !== 'watch');
  if (prepare) prepare(module);
  await makeTutorial(module);
  const ended = callMain(module, args);
  const current = {module, ended, kind, stopped: false};
  run = current;
  screenEl.focus();
  listGalaxies();
  ended.then(() => afterRun(current), (error) => say('The game stopped: ' + error));
}

// A hangup, as when a terminal goes away: the game saves and ends.
async function stopRun() {
  if (!run) return;
  const current = run;
  run = null;
  current.stopped = true;
  current.module._starhollow_deliver_stop(1);
  await current.ended.catch(() => {});
}

// A run the page stopped leaves what comes next to the page; one that ended
// by itself is followed by a plain game.
function afterRun(current) {
  if (current.kind === 'record') downloadRecording(current.module);
  if (current.stopped) return;
  run = null;
  if (current.kind === 'play') {
    say('The game has ended. Press any key to play again.');
    awaitingRestart = true;
    return;
  }
  startPlay();
}

let awaitingRestart = false;
const startPlay = () => start('play', []);

// ---- Keys ------------------------------------------------------------------
function keyTarget() {
  const active = document.activeElement;
  return !active || active === document.body || active === screenEl;
}

window.addEventListener('keydown', (event) => {
  if (!keyTarget()) return;
  const key = gameKey(event);
  if (!key) return;
  event.preventDefault();
  if (awaitingRestart) {
    awaitingRestart = false;
    say('');
    startPlay();
    return;
  }
  if (run) run.module.webConsole.pushKey(key.vk, key.ch);
});
screenEl.addEventListener('mousedown', () => screenEl.focus());
// Closing or reloading the tab stops the game as a hangup does: it saves at
// once, from the first sign that the page goes (the storage work of a page
// already hidden may be cut off by the browser).
const hangUp = () => { if (run) run.module._starhollow_deliver_stop(1); };
window.addEventListener('beforeunload', hangUp);
window.addEventListener('pagehide', hangUp);

// ---- Controls -----------------------------------------------------------------
const galaxySelect = document.getElementById('galaxies');

function download(bytes, name) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([bytes], {type: 'application/octet-stream'}));
  link.download = name;
  document.body.appendChild(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 10000);
}

function keptGalaxies() {
  if (!run || run.kind === 'watch') return [];
  return run.module.FS.readdir('/galaxies')
    .filter((file) => file.endsWith('.glx') && GALAXY_NAME.test(file.slice(0, -4)))
    .map((file) => file.slice(0, -4)).sort();
}

function listGalaxies() {
  const chosen = galaxySelect.value;
  galaxySelect.replaceChildren(...keptGalaxies().map((name) => new Option(name + '.glx', name)));
  if (chosen) galaxySelect.value = chosen;
}
galaxySelect.addEventListener('focus', listGalaxies);
galaxySelect.addEventListener('mousedown', listGalaxies);

document.getElementById('export').addEventListener('click', async () => {
  listGalaxies();
  screenEl.focus();
  const name = galaxySelect.value;
  if (!name) return say(run && run.kind === 'watch' ? 'Export a galaxy once the replay is over.' : 'No galaxy is kept yet.');
  const path = '/galaxies/' + name + '.glx';
  await run.module.galaxyStore.ensureLoaded(path);
  download(run.module.FS.readFile(path), name + '.glx');
});

// Called straight, not through ccall: the game is suspended in a key wait,
// and ccall would take this call for the end of that wait.
function checkGalaxy(module, folder, name) {
  const args = [folder, name].map((text) => module.allocateUTF8(text));
  try {
    return module._starhollow_check_galaxy(args[0], args[1]);
  } finally {
    args.forEach((pointer) => module._free(pointer));
  }
}

// An imported galaxy is checked as the game checks one it loads, in a folder
// of its own; only a galaxy that passes is kept, and nothing else changes.
async function importGalaxy(file) {
  const name = file.name.replace(/\.glx$/i, '');
  if (!run || run.kind === 'watch') return say('Import a galaxy once the replay is over.');
  if (!GALAXY_NAME.test(name)) return say(file.name + ': a galaxy is named with 1-19 letters, digits, _ or - only.');
  if (name === 'Tutorial') return say('Tutorial is reserved, rename the file first.');
  const module = run.module;
  const bytes = new Uint8Array(await file.arrayBuffer());
  module.FS.mkdirTree('/import');
  module.FS.writeFile('/import/' + name + '.glx', bytes);
  const verdict = checkGalaxy(module, '/import', name);
  module.FS.unlink('/import/' + name + '.glx');
  if (verdict !== 0) return say('Galaxy ' + name + ' is damaged and cannot be loaded! Nothing was imported.');
  const path = '/galaxies/' + name + '.glx';
  if (keptGalaxies().includes(name) && !confirm('Replace the galaxy ' + name + ' kept in this browser?')) return;
  const pending = '/galaxies/.' + name + '.glx.pending';
  if (module.FS.analyzePath(pending).exists) module.FS.unlink(pending);
  module.FS.writeFile(path, bytes);
  const stored = await module.galaxyStore.settle();
  listGalaxies();
  galaxySelect.value = name;
  say(stored ? 'Galaxy ' + name + ' imported: load it from the menu.' : 'The browser refused to store galaxy ' + name + '.');
}
document.getElementById('import').addEventListener('change', (event) => {
  const file = event.target.files[0];
  event.target.value = '';
  screenEl.focus();
  if (file) importGalaxy(file).catch((error) => say('Import failed: ' + error));
});

// Recording: the game being played ends (and saves), and a recorded one
// starts; when it ends, the recording and the galaxies it loaded download.
const RECORDING = '/recordings/game.rec';
let recordingName = '';
const recordButton = document.getElementById('record');

function stamp() {
  const d = new Date(), two = (n) => String(n).padStart(2, '0');
  return d.getFullYear() + two(d.getMonth() + 1) + two(d.getDate()) + '-' + two(d.getHours()) + two(d.getMinutes()) + two(d.getSeconds());
}

function downloadRecording(module) {
  recordButton.textContent = 'Record a game';
  const folder = RECORDING.slice(0, RECORDING.lastIndexOf('/'));
  const base = RECORDING.slice(folder.length + 1);
  for (const file of module.FS.readdir(folder)) {
    if (!file.startsWith(base)) continue;
    download(module.FS.readFile(folder + '/' + file), recordingName + file.slice(base.length - 4));
  }
  say('Recording downloaded as ' + recordingName + '.rec (with any galaxy it loaded beside it).');
}

recordButton.addEventListener('click', async () => {
  screenEl.focus();
  const recording = run && run.kind === 'record';
  await stopRun();
  if (recording) return startPlay();  // its end downloaded the recording
  recordingName = 'starhollow-' + stamp();
  recordButton.textContent = 'Stop recording and download';
  say('Recording…');
  start('record', ['--record', RECORDING], (module) => module.FS.mkdirTree('/recordings'));
});

// Watching: the chosen recording (and any galaxy files chosen with it) plays
// at its pace; a key doubles the pace, Esc stops, as on the desktop.
document.getElementById('watch').addEventListener('change', async (event) => {
  const files = Array.from(event.target.files);
  event.target.value = '';
  screenEl.focus();
  const recordings = files.filter((file) => /\.rec$/i.test(file.name));
  if (recordings.length !== 1) return say('Choose one .rec file (and the galaxies kept beside it, if any).');
  const contents = await Promise.all(files.map(async (file) => [file.name, new Uint8Array(await file.arrayBuffer())]));
  await stopRun();
  say('Watching ' + recordings[0].name + ': a key doubles the pace, Esc stops.');
  start('watch', ['--replay', '/watch/' + recordings[0].name], (module) => {
    module.FS.mkdirTree('/watch');
    for (const [name, bytes] of contents) module.FS.writeFile('/watch/' + name, bytes);
  });
});

// ---- Opening --------------------------------------------------------------------
// One tab plays at a time: two would each keep their own copy of the galaxies.
function openGame() {
  say('');
  startPlay().catch((error) => say('The game could not start: ' + error));
}
if (navigator.locks) {
  navigator.locks.request('starhollow-game', {ifAvailable: true}, (lock) => {
    if (!lock) {
      say('Starhollow is already open in another tab of this browser: play there, or close it and reload.');
      return null;
    }
    openGame();
    return new Promise(() => {});  // held while the page is open
  });
} else {
  openGame();
}
