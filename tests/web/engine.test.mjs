// The WebAssembly engine alone, in Node: the engine's golden cases through the functions the page
// calls, reading and formatting included, and what only the web binding adds.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import test from 'node:test';
import { site } from './support.mjs';

const { loadEngine } = await import(`${site}/engine.js`);
const engine = await loadEngine({ wasmBinary: readFileSync(`${site}/gustrule-engine.wasm`) });

const bends = (...cells) => [...cells, '', '', '', '', '', '', '', ''];
const division = 'Floating point division by zero.';
const invalid = 'Invalid floating point operation.';
const overflow = 'Floating point overflow.';

// Each case: the call, its arguments, the failure shown ('' for none) and some rows written,
// by grid row; `written` is how many rows the call wrote.
const cases = [
  ['round at start', 'round', ['183.7', '1', 0], '', {
    2: ['80', '36.55', '222.5', '222.5', '804.0', '578.9', '176.9', '451.5', '138.0', '347.3',
      '106.1', '260.5', '79.6'],
    8: ['250', '3.74', '0.7', '0.7', '8.4', '6.1', '1.9', '4.7', '1.4', '3.6', '1.1', '2.7', '0.8'],
    9: ['300', '2.60', '0.3', '0.3', '4.1', '3.9', '1.5', '3.0', '1.2', '2.3', '0.9', '1.8', '0.7'],
    24: ['1500', '0.10', '0.0', '0.0', '0.0', '0.0', '0.0', '0.0', '0.0', '0.0', '0.0', '0.0',
      '0.0'],
  }, 23],
  ['flexible empties the bend columns', 'round', ['183.7', '1', 1], '', {
    2: bends('80', '36.55', '634.3', '634.3', '804.0'),
    9: bends('300', '2.60', '0.5', '0.5', '4.1'),
    23: bends('1422', '0.12', '0.0', '0.0', '0.0'),
  }, 23],
  ['negative length', 'round', ['183.7', '-1', 0], '', {
    2: ['80', '36.55', '222.5', '-222.5', '804.0', '578.9', '176.9', '451.5', '138.0', '347.3',
      '106.1', '260.5', '79.6'],
  }, 23],
  ['unreadable length takes 0.0001', 'round', ['183.7', 'm', 0], '', {
    2: ['80', '36.55', '222.5', '0.0', '804.0', '578.9', '176.9', '451.5', '138.0', '347.3',
      '106.1', '260.5', '79.6'],
  }, 23],
  ['empty flow', 'round', ['', '1', 0], '', {
    2: ['80', '0.00', '0.0', '0.0', '0.0', '0.0', '0.0', '0.0', '0.0', '0.0', '0.0', '0.0', '0.0'],
  }, 23],
  ['zero flow', 'round', ['0', '1', 0], division, {}, 0],
  ['lone separator flow', 'round', ['.', '1', 0], division, {}, 0],
  ['negative flow', 'round', ['-5', '1', 0], invalid, {}, 0],
  ['zero length', 'round', ['183.7', '0', 0], invalid, {}, 0],
  ['flow beyond double', 'round', ['1e309', '1', 0], overflow, {}, 0],
  ['pressure overflows', 'round', ['1e300', '1', 0], overflow, {}, 0],

  ['rect at start', 'rect', ['183.7', '212', '212', '1'], '',
    { 2: ['233', '4.09', '1.0', '1.0', '10.1'] }, 1],
  ['rect 1000 l/s', 'rect', ['1000', '600', '300', '5'], '',
    { 2: ['462', '5.56', '0.8', '4.0', '18.6'] }, 1],
  ['rect negative side', 'rect', ['183.7', '-300', '100', '1'], '',
    { 2: ['213', '-6.12', '1.6', '1.6', '22.6'] }, 1],
  ['rect zero side', 'rect', ['183.7', '0.0', '212', '1'], '',
    { 2: ['?...', '?...', '?...', '?...', '?...'] }, 1],
  ['rect sides summing to zero', 'rect', ['183.7', '-212', '212', '1'], division, {}, 0],
  ['rect negative flow', 'rect', ['-183.7', '212', '212', '1'], invalid, {}, 0],
  ['rect huge sides', 'rect', ['183.7', '1e300', '1e300', '1'], division, {}, 0],

  ['convert l/s', 'convert', ['183.7', 'l/s'], '',
    { 2: ['183.70', '0.18', '11.02', '661.32'] }, 1],
  ['convert m³/min', 'convert', ['1', 'm³/min'], '',
    { 2: ['16.67', '0.02', '1.00', '60.00'] }, 1],
  ['a unit that matches none keeps the results', 'convert', ['200', 'm3/s'], '',
    { 2: ['16.67', '0.02', '1.00', '60.00'] }, 1],
  // Reading and formatting, seen through l/s, which keeps the value.
  ['0.015 rounds up', 'convert', ['0.015', 'l/s'], '', { 2: ['0.02', '0.00', '0.00', '0.05'] }, 1],
  ['0.125 rounds half away', 'convert', ['0.125', 'l/s'], '',
    { 2: ['0.13', '0.00', '0.01', '0.45'] }, 1],
  ['-0.001 keeps its sign', 'convert', ['-0.001', 'l/s'], '',
    { 2: ['-0.00', '-0.00', '-0.00', '-0.00'] }, 1],
  ['scientific from 2^120', 'convert', ['1.5e40', 'l/s'], '',
    { 2: ['1.500E+0040', '1.500E+0037', '9.000E+0038', '5.400E+0040'] }, 1],
  ['blanks around', 'convert', [' 7 ', 'l/s'], '', { 2: ['7.00', '0.01', '0.42', '25.20'] }, 1],
  ['exponent without digits', 'convert', ['1e', 'l/s'], '',
    { 2: ['1.00', '0.00', '0.06', '3.60'] }, 1],
  ['comma is not the separator', 'convert', ['1,5', 'l/s'], '',
    { 2: ['0.00', '0.00', '0.00', '0.00'] }, 1],
  ['read beyond double', 'convert', ['2e1000', 'l/s'], overflow, {}, 0],
  // Digits beyond the extended range do not read; the text still reaches the engine whole.
  ['a megabyte of digits', 'convert', ['9'.repeat(1 << 20), 'l/s'], '',
    { 2: ['0.00', '0.00', '0.00', '0.00'] }, 1],
  ['a megabyte of digits after the point', 'convert', [`0.${'0'.repeat(1 << 20)}25`, 'l/s'], '',
    { 2: ['0.00', '0.00', '0.00', '0.00'] }, 1],

  ['size by velocity', 'size', ['183.7', '1', 0, '5', ''], '',
    { 2: ['250', '3.74', '0.7', '0.7', '8.4', '6.1', '1.9', '4.7', '1.4', '3.6', '1.1', '2.7',
      '0.8'] }, 1],
  ['size by friction', 'size', ['183.7', '1', 0, '', '0.5'], '',
    { 2: ['300', '2.60', '0.3', '0.3', '4.1', '3.9', '1.5', '3.0', '1.2', '2.3', '0.9', '1.8',
      '0.7'] }, 1],
  ['size flexible', 'size', ['500', '1', 1, '5', '1'], '',
    { 2: bends('400', '3.98', '0.8', '0.8', '9.5') }, 1],
  ['size compares before rounding', 'size', ['245.63', '1', 0, '5', ''], '', {}, 1],
  ['size: no size fits', 'size', ['183.7', '1', 0, '0.05', ''],
    'No duct size up to 1500 mm meets the limits.', {}, 0],
  ['size: zero flow', 'size', ['0', '1', 0, '5', ''],
    "Air Volume Flow '0' is not above zero.", {}, 0],
  ['size: flow whose pressure overflows', 'size', ['1e300', '1', 0, '5', ''], overflow, {}, 0],
  ['size: unreadable flow', 'size', ['12a', '1', 0, '5', ''],
    "Air Volume Flow '12a' is not a number.", {}, 0],
  ['size: limit of zero', 'size', ['183.7', '1', 0, '0', ''],
    "Max Velocity '0' is not above zero.", {}, 0],
  ['size: no limit', 'size', ['183.7', '1', 0, '', ''],
    'Give a Max Velocity or a Max Friction.', {}, 0],
];

test('golden cases', async (t) => {
  for (const [name, call, args, failure, rows, written] of cases) {
    await t.test(name, () => {
      const answer = engine[call](...args);
      assert.equal(answer.failure, failure);
      assert.equal(answer.rows.length, written);
      const byRow = new Map(answer.rows);
      for (const [row, cells] of Object.entries(rows)) {
        assert.deepEqual(byRow.get(Number(row)), cells, `row ${row}`);
      }
    });
  }
});

test('a comma separator reads "183,7" and refuses "183.7"', () => {
  engine.setDecimalSeparator(',');
  try {
    assert.equal(engine.rect('183,7', '212', '212', '1').rows[0][1][1], '4.09');
    assert.deepEqual(engine.convert('183.7', 'l/s').rows[0][1], ['0.00', '0.00', '0.00', '0.00']);
  } finally {
    engine.setDecimalSeparator('.');
  }
});

test('the size below the chosen one, with the limits it broke', () => {
  const cases = [
    [['183.7', '1', 0, '5', '1'], { size: '200', velocity: '5.8474', friction: '2.169',
      velocityBroken: true, frictionBroken: true }],
    [['183.7', '1', 0, '5', '0.5'], { size: '250', velocity: '3.7423', friction: '0.722',
      velocityBroken: false, frictionBroken: true }],
    [['245.63', '1', 0, '5', ''], { size: '250', velocity: '5.0039', friction: '1.234',
      velocityBroken: true, frictionBroken: false }],
    // No size fits: the largest is described.
    [['183.7', '1', 0, '0.05', ''], { size: '1500', velocity: '0.1040', friction: '0.000',
      velocityBroken: true, frictionBroken: false }],
    [['183.7', '1', 0, '100', ''], null], // 80 mm, the smallest
    [['1e300', '1', 0, '5', ''], null], // failed at 80 mm
  ];
  for (const [args, smaller] of cases) {
    assert.deepEqual(engine.size(...args).smaller, smaller, args.join(' '));
  }
});
