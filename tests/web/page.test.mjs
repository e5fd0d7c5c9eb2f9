// The page in Chromium: its cells against the reference gustrule-cli for seeded random inputs on
// every page in both decimal separators, failures, copying, the keyboard alone.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import {
  cli, cliBatch, launch, numberTexts, openPage, seeded, serve,
} from './support.mjs';

let server;
let browser;
before(async () => {
  server = await serve();
  browser = await launch();
});
after(async () => {
  await browser?.close();
  await server?.stop();
});

const materials = ['spiral', 'flexible'];
const units = ['l/s', 'm³/s', 'm³/min', 'm³/hr'];

// The size page names a refused value as its box does, where the command line names its
// argument or option.
function sizeRefusal(stderr) {
  const names = { FLOW: 'Air Volume Flow', LENGTH: 'Duct Length', '--max-velocity': 'Max Velocity',
    '--max-friction': 'Max Friction' };
  const problem = stderr.split('\n')[0].replace(/^gustrule-cli: /, '');
  if (problem === 'size needs --max-velocity or --max-friction') {
    return 'Give a Max Velocity or a Max Friction.';
  }
  const [name, ...rest] = problem.split(' ');
  return `${names[name]} ${rest.join(' ')}.`;
}

// Each page: its text boxes with their length limits, its other choices, and the command line
// that computes the same.
const pages = {
  round: {
    boxes: { 'round-flow': 6, 'round-length': 4 },
    choose: (random) => ({ 'round-type': Math.floor(random() * 2) }),
    command: (v) => ['round', '--', v['round-flow'], v['round-length'], materials[v['round-type']]],
  },
  rect: {
    boxes: { 'rect-flow': 6, 'rect-side-a': 6, 'rect-side-b': 6, 'rect-length': 4 },
    choose: () => ({}),
    command: (v) => ['rect', '--', v['rect-flow'], v['rect-side-a'], v['rect-side-b'],
      v['rect-length']],
  },
  conversions: {
    boxes: { 'conversions-value': 40 },
    choose: (random) => ({ 'conversions-unit': units[Math.floor(random() * units.length)] }),
    command: (v) => ['convert', '--', v['conversions-value'], v['conversions-unit']],
  },
  size: {
    boxes: { 'size-flow': 6, 'size-length': 4, 'size-max-velocity': 6, 'size-max-friction': 6 },
    choose: (random) => ({ 'size-type': Math.floor(random() * 2) }),
    command: (v) => ['size',
      ...(v['size-max-velocity'] === '' ? [] : [`--max-velocity=${v['size-max-velocity']}`]),
      ...(v['size-max-friction'] === '' ? [] : [`--max-friction=${v['size-max-friction']}`]),
      '--', v['size-flow'], v['size-length'], materials[v['size-type']]],
  },
};

// Types each set of values into a page, all at once and then one input event, as a paste into
// the last box would, and reads back after each: the table's rows with their stale marks and
// the failure shown.
function enterAll(page, name, sets) {
  return page.evaluate(([section, valueSets]) => {
    const read = () => {
      const table = document.getElementById(`${section}-table`);
      return {
        heading: [...table.tHead.rows[0].cells].map((cell) => cell.textContent),
        rows: [...table.tBodies[0].rows].map((tr) => [...tr.cells].map((cell) => cell.textContent)),
        stale: [...table.tBodies[0].rows].map((tr) => tr.classList.contains('stale')),
        failure: document.querySelector(`#${section}-failure strong`)?.textContent ?? '',
      };
    };
    const states = [read()];
    for (const values of valueSets) {
      for (const [id, value] of Object.entries(values)) {
        const box = document.getElementById(id);
        if (box) {
          box.value = value;
        } else {
          document.querySelector(`input[name="${id}"][value="${value}"]`).checked = true;
        }
      }
      document.getElementById(section).querySelector('input')
        .dispatchEvent(new Event('input', { bubbles: true }));
      states.push(read());
    }
    return states;
  }, [name, sets]);
}

// The command line of a page's values, with tab-separated output and the separator's option.
function commandOf(name, values, separatorArgs) {
  const [command, ...rest] = pages[name].command(values);
  return [command, '--tsv', ...separatorArgs, ...rest];
}

// What the page must show after a run of the command line, given what it showed before: the
// rows written replace theirs; after a failure the others stay, marked stale.
function expectedState(name, run, before) {
  const [heading, ...written] = run.lines;
  let failure = run.status === 0 ? '' : run.stderr;
  if (name === 'size' && run.status === 2) {
    failure = sizeRefusal(run.stderr);
  }
  const rows = before.rows.map((row, index) => written[index] ?? row);
  const stale = rows.map((_, index) => failure !== '' && index >= written.length);
  return { heading: heading ?? before.heading, rows, stale, failure, status: run.status };
}

for (const [locale, separator] of [['en-US', '.'], ['de-DE', ',']]) {
  test(`cells equal gustrule-cli's for seeded random inputs, ${locale}`, async (t) => {
    const { context, page } = await openPage(browser, server.url, { locale });
    const separatorArgs = separator === '.' ? [] : ['--decimal-separator', separator];
    for (const [name, definition] of Object.entries(pages)) {
      await t.test(name, async () => {
        const random = seeded(name.length * 1000 + separator.charCodeAt(0));
        const text = numberTexts(random, separator);
        const sets = Array.from({ length: 300 }, () => {
          const values = definition.choose(random);
          for (const [box, maxLength] of Object.entries(definition.boxes)) {
            values[box] = name === 'size' && box.includes('max') && random() < 0.2
              ? '' : text().slice(0, maxLength);
          }
          return values;
        });
        const states = await enterAll(page, name, sets);
        const runs = cliBatch(sets.map((values) => commandOf(name, values, separatorArgs)));
        const statuses = new Set();
        sets.forEach((values, i) => {
          const want = expectedState(name, runs[i], states[i]);
          statuses.add(want.status);
          const { status, ...shown } = want;
          assert.deepEqual(states[i + 1], shown, `${name} ${JSON.stringify(values)}`);
        });
        // The random texts reach the failures too, not only the results.
        assert.ok(statuses.has(0) && statuses.size > 1, `statuses ${[...statuses]}`);
      });
    }
    await context.close();
  });
}

test('the inputs, choices, tabs and tables have the names the issue promises', async () => {
  const { context, page } = await openPage(browser, server.url, { locale: 'de-DE' });
  const flow = 'Air Volume Flow (l/s)';
  const pagesByName = [
    ['Round Duct', { textbox: [flow, 'Duct Length (m)'], radio: ['Spiral', 'Flexible'],
      table: ['Round Duct'] }],
    ['Rectangular Duct', { textbox: [flow, 'Side A (mm)', 'Side B (mm)', 'Rect Duct Length (m)'],
      table: ['Rectangular Duct'] }],
    ['Recommended Velocities', { table: ['Recommended Velocities (m/s)',
      'Maximum Velocities (m/s)'] }],
    ['Conversions', { textbox: ['Volume Flow'], combobox: ['Original Units'],
      table: ['Conversions'] }],
    ['Size', { textbox: [flow, 'Duct Length (m)', 'Max Velocity (m/s)', 'Max Friction (Pa/m)'],
      radio: ['Spiral', 'Flexible'], table: ['Size'] }],
  ];
  for (const [tab, roles] of pagesByName) {
    await page.getByRole('tab', { name: tab, exact: true }).click();
    for (const [role, names] of Object.entries(roles)) {
      for (const name of names) {
        const found = await page.getByRole(role, { name, exact: true }).count();
        assert.equal(found, 1, `${tab}: ${name}`);
      }
    }
  }
  // Headings as column headers; the sizes as row headers where a row is a size.
  for (const [name, rowHeaders] of [['Round Duct', 23], ['Rectangular Duct', 0],
    ['Conversions', 0], ['Size', 1]]) {
    const table = page.locator(`table[id$="-table"]:has(caption:text-is("${name}"))`);
    const columns = await table.locator('thead th[scope="col"]').count();
    assert.equal(columns, await table.locator('thead th').count(), name);
    assert.equal(await table.locator('tbody th[scope="row"]').count(), rowHeaders, name);
  }
  // The boxes start as the window's do, in the language's separator, with its length limits.
  await page.getByRole('tab', { name: 'Round Duct' }).click();
  assert.equal(await page.getByRole('textbox', { name: flow }).inputValue(), '183,7');
  assert.equal(await page.getByRole('textbox', { name: flow }).getAttribute('maxlength'), '6');
  assert.equal(await page.getByRole('textbox', { name: 'Duct Length (m)' })
    .getAttribute('maxlength'), '4');
  await context.close();
});

test('a failure shows its message, and the table its earlier values, greyed', async () => {
  const { context, page } = await openPage(browser, server.url);
  const before = await enterAll(page, 'round', []);
  const [, after] = await enterAll(page, 'round', [{ 'round-flow': '0' }]);
  assert.equal(after.failure, 'Floating point division by zero.');
  assert.deepEqual(after.rows, before[0].rows);
  assert.ok(after.stale.every(Boolean));
  assert.match(await page.locator('#round-failure').textContent(), /greyed rows keep/);
  const [, again] = await enterAll(page, 'round', [{ 'round-flow': '100' }]);
  assert.equal(again.failure, '');
  assert.ok(!again.stale.some(Boolean));
  await context.close();
});

test('Copy table puts what the window\'s Ctrl+C copies on the clipboard', async () => {
  for (const locale of ['en-US', 'de-DE']) {
    const { context, page } = await openPage(browser, server.url,
      { locale, permissions: ['clipboard-read', 'clipboard-write'] });
    // The window copies its heading row and every value row (none selected), tab-separated,
    // each line ended by "\n": gustrule-cli's --tsv output.
    await page.locator('#round').getByRole('button', { name: 'Copy table' }).click();
    await page.getByText('Table copied').waitFor();
    const copied = await page.evaluate(() => navigator.clipboard.readText());
    assert.equal(copied, cli(['round', '--tsv', '--', '183.7', '1', 'spiral']).stdout, locale);

    await page.getByRole('tab', { name: 'Rectangular Duct' }).click();
    await page.getByLabel('Side A (mm)').fill('300');
    await page.locator('#rect').getByRole('button', { name: 'Copy table' }).click();
    assert.equal(await page.evaluate(() => navigator.clipboard.readText()),
      cli(['rect', '--tsv', '--', '183.7', '300', '212', '1']).stdout, locale);
    await context.close();
  }
});

test('the tab bar and every input work with the keyboard alone', async () => {
  const { context, page } = await openPage(browser, server.url,
    { permissions: ['clipboard-read', 'clipboard-write'] });
  // The focused element as its kind and name, "tab: Size" or "text: Duct Length (m)".
  const focused = () => page.evaluate(() => {
    const element = document.activeElement;
    const labelledBy = document.getElementById(element.getAttribute('aria-labelledby'));
    const name = element.labels?.[0]?.textContent ?? labelledBy?.textContent
      ?? element.textContent;
    return `${element.getAttribute('role') ?? element.type}: ${name.trim()}`;
  });
  const press = async (key, expected) => {
    await page.keyboard.press(key);
    assert.equal(await focused(), expected, key);
  };
  const backTo = async (expected) => {
    for (let i = 0; i < 10 && (await focused()) !== expected; i += 1) {
      await page.keyboard.press('Shift+Tab');
    }
    assert.equal(await focused(), expected);
  };
  const rows = (table) => page.evaluate((id) => [...document.getElementById(id).tBodies[0].rows]
    .map((tr) => [...tr.cells].map((cell) => cell.textContent)), `${table}-table`);
  const selectedTab = () => page.locator('[role="tab"][aria-selected="true"]').textContent();

  await press('Tab', 'tab: Round Duct');
  for (const [key, expected] of [['ArrowRight', 'Rectangular Duct'], ['End', 'Size'],
    ['ArrowRight', 'Round Duct'], ['ArrowLeft', 'Size'], ['Home', 'Round Duct']]) {
    await press(key, `tab: ${expected}`);
    assert.equal(await selectedTab(), expected, key);
    assert.ok(await page.getByRole('tabpanel', { name: expected }).isVisible(), key);
  }

  // Round Duct: the duct type by arrow keys; the Tab key selects a box's text, so typing
  // replaces it, up to the box's limit.
  await press('Tab', 'radio: Spiral');
  await press('ArrowDown', 'radio: Flexible');
  await press('Tab', 'text: Air Volume Flow (l/s)');
  await page.keyboard.type('1234567');
  await press('Tab', 'text: Duct Length (m)');
  await page.keyboard.type('2.5');
  await page.keyboard.press('Backspace');
  assert.deepEqual(await rows('round'), cli(['round', '--tsv', '--', '123456', '2.', 'flexible'])
    .lines.slice(1));
  await press('Tab', 'button: Copy table');
  await page.keyboard.press('Enter');
  await page.getByText('Table copied').waitFor();
  assert.equal(await page.evaluate(() => navigator.clipboard.readText()),
    cli(['round', '--tsv', '--', '123456', '2.', 'flexible']).stdout);
  await press('Tab', 'region: Round Duct'); // the table's scrolling box

  // Conversions: the unit from its list by arrow key.
  await backTo('tab: Round Duct');
  await page.keyboard.press('ArrowLeft');
  await press('ArrowLeft', 'tab: Conversions');
  await press('Tab', 'text: Volume Flow');
  await page.keyboard.type('3,6e2');
  await press('Tab', 'select-one: Original Units');
  await page.keyboard.press('ArrowDown');
  assert.deepEqual(await rows('conversions'),
    cli(['convert', '--tsv', '--', '3,6e2', 'l/s']).lines.slice(1));
  await page.keyboard.press('ArrowDown');
  assert.deepEqual(await rows('conversions'),
    cli(['convert', '--tsv', '--', '3,6e2', 'm³/s']).lines.slice(1));

  // Size: the duct type and four boxes, each reached and changed by keys.
  await backTo('tab: Conversions');
  await press('ArrowRight', 'tab: Size');
  await press('Tab', 'radio: Spiral');
  await press('Tab', 'text: Air Volume Flow (l/s)');
  await page.keyboard.type('500');
  await press('Tab', 'text: Duct Length (m)');
  await press('Tab', 'text: Max Velocity (m/s)');
  await page.keyboard.press('Delete');
  await press('Tab', 'text: Max Friction (Pa/m)');
  await page.keyboard.type('0.5');
  assert.deepEqual(await rows('size'),
    cli(['size', '--tsv', '--max-friction=0.5', '--', '500', '1', 'spiral']).lines.slice(1));
  await context.close();
});
