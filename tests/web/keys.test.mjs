// The page's key table: which presses reach the game, as which code and
// character, and which stay the browser's.
import {test} from 'node:test';
import assert from 'node:assert/strict';
import {createRequire} from 'node:module';

const {gameKey} = createRequire(import.meta.url)('../../web/keys.js');
const press = (keyCode, key, modifiers = {}) => ({keyCode, key, ctrlKey: false, altKey: false, metaKey: false, ...modifiers});

test('presses the game reads keep their code and typed character', () => {
  const table = [
    [press(39, 'ArrowRight'), {vk: 39, ch: 0}],
    [press(192, '`'), {vk: 192, ch: 96}],
    [press(192, '~'), {vk: 192, ch: 126}],
    [press(78, 'n'), {vk: 78, ch: 110}],
    [press(78, 'N'), {vk: 78, ch: 78}],
    [press(49, '!'), {vk: 49, ch: 33}],
    [press(27, 'Escape'), {vk: 27, ch: 27}],
    [press(32, ' '), {vk: 32, ch: 32}],
    [press(13, 'Enter'), {vk: 13, ch: 13}],
    [press(8, 'Backspace'), {vk: 8, ch: 8}],
    [press(9, 'Tab'), {vk: 9, ch: 9}],
    [press(112, 'F1'), {vk: 112, ch: 0}],
    [press(115, 'F4'), {vk: 115, ch: 0}],
    [press(100, '4'), {vk: 100, ch: 52}],
    [press(186, ';'), {vk: 186, ch: 59}],
    [press(81, '@', {ctrlKey: true, altKey: true}), {vk: 81, ch: 64}],  // AltGr+Q on a German layout
    [press(69, 'é'), {vk: 69, ch: 0}],  // typed, but no character the grid can show
  ];
  for (const [event, expected] of table) assert.deepEqual(gameKey(event), expected, JSON.stringify(event));
});

test('shortcuts and keys the game never reads stay the browser\'s', () => {
  const table = [
    press(116, 'F5'), press(122, 'F11'), press(123, 'F12'),
    press(67, 'c', {ctrlKey: true}), press(82, 'r', {metaKey: true}), press(37, 'ArrowLeft', {altKey: true}),
    press(16, 'Shift'), press(17, 'Control'), press(20, 'CapsLock'), press(91, 'Meta'),
  ];
  for (const event of table) assert.equal(gameKey(event), null, JSON.stringify(event));
});
