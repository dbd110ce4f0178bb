// Which key presses go to the game, as the game's key codes (the virtual-key
// codes a browser reports as keyCode) with the character they type. Keys the
// game never reads, and every Ctrl, Alt or Meta combination, stay the
// browser's: F5 still reloads, Ctrl+C still copies.
'use strict';

// Codes the game reads besides letters and digits.
const GAME_KEYS = new Set([
  8, 9, 12, 13, 27, 32,        // Backspace, Tab, Clear, Enter, Esc, Space
  33, 34, 35, 36, 37, 38, 39, 40, 45, 46,  // PgUp, PgDn, End, Home, arrows, Ins, Del
  112, 113, 114, 115,          // F1 to F4
  186, 187, 188, 189, 190, 191, 192, 219, 220, 221, 222,  // punctuation, the key left of 1
]);
// What the console types for keys whose name is no character.
const TYPED = {8: 8, 9: 9, 13: 13, 27: 27};

function isLetterOrDigit(code) { return (code >= 48 && code <= 57) || (code >= 65 && code <= 90); }
function isKeypad(code) { return code >= 96 && code <= 111; }

// The typed character's code when the key types one the game can show.
function typedChar(event) {
  if (TYPED[event.keyCode] !== undefined) return TYPED[event.keyCode];
  if (typeof event.key !== 'string' || event.key.length !== 1) return 0;
  const code = event.key.charCodeAt(0);
  return code >= 32 && code < 127 ? code : 0;
}

// {vk, ch} for a press the game takes, or null for one the browser keeps.
// AltGr (Ctrl and Alt together) that types a character is typing, not a shortcut.
function gameKey(event) {
  const ch = typedChar(event);
  const altGr = event.ctrlKey && event.altKey && ch >= 32;
  if ((event.ctrlKey || event.altKey || event.metaKey) && !altGr) return null;
  const vk = event.keyCode;
  if (!GAME_KEYS.has(vk) && !isLetterOrDigit(vk) && !isKeypad(vk)) return null;
  return {vk, ch};
}

if (typeof module !== 'undefined') module.exports = {gameKey};
