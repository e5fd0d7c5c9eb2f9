// The page: five pages under a tab bar. Every change of an input reads all inputs of its page
// afresh, runs the page's calculation in the engine and writes the rows the engine wrote into
// the page's table; a failure shows its message beside the table, whose other rows keep their
// values, marked stale.
import { loadEngine, decimalSeparatorOf } from './engine.js';

// As in the window's grids, the engine writes the headings into row 1 and the values from row 2.
const FIRST_VALUE_ROW = 2;

const byId = (id) => document.getElementById(id);

// A heading row in the table's <thead>: one column header per heading.
function addColumnHeadings(table, headings) {
  const row = table.createTHead().insertRow();
  for (const heading of headings) {
    const th = document.createElement('th');
    th.scope = 'col';
    th.textContent = heading;
    row.append(th);
  }
  return row;
}

// A result table: the heading row in <thead>, `rows` value rows in <tbody>, all empty until the
// engine writes them. With `rowHeaders`, column 0 of a value row is its header (the duct size).
class ResultTable {
  constructor(table, headings, rows, rowHeaders) {
    this.headings = headings;
    table.classList.toggle('row-headers', rowHeaders);
    addColumnHeadings(table, headings);
    const body = table.createTBody();
    this.rows = [];
    for (let r = 0; r < rows; r += 1) {
      const tr = body.insertRow();
      const cells = headings.map((_, column) => {
        const cell = document.createElement(rowHeaders && column === 0 ? 'th' : 'td');
        if (rowHeaders && column === 0) {
          cell.scope = 'row';
        }
        tr.append(cell);
        return cell;
      });
      this.rows.push({ tr, cells, texts: headings.map(() => '') });
    }
  }

  // Writes the rows of an engine answer; after a failure every row it did not write is stale.
  apply(answer) {
    const written = new Set();
    for (const [row, texts] of answer.rows) {
      const index = row - FIRST_VALUE_ROW;
      const target = this.rows[index];
      texts.forEach((text, column) => {
        if (target.texts[column] !== text) {
          target.texts[column] = text;
          target.cells[column].textContent = text;
        }
      });
      written.add(index);
    }
    let stale = 0;
    this.rows.forEach((row, index) => {
      const isStale = answer.failure !== '' && !written.has(index);
      row.tr.classList.toggle('stale', isStale);
      stale += isStale ? 1 : 0;
    });
    return stale;
  }

  // The heading row and every value row, cells joined by tabs, each line ended by "\n": what the
  // window's Ctrl+C copies from its grid when no row is selected.
  tabSeparated() {
    return [this.headings, ...this.rows.map((row) => row.texts)]
      .map((line) => `${line.join('\t')}\n`)
      .join('');
  }
}

// Shows a failure's message (or nothing) beside a table, with a note on its stale rows. What
// stays the same is not written again, so a screen reader hears a message once.
function showFailure(element, failure, staleRows) {
  let note = '';
  if (failure !== '' && staleRows > 0) {
    note = staleRows === 1 ? ' The greyed row keeps its earlier values.'
      : ' The greyed rows keep their earlier values.';
  }
  const shown = `${failure}\n${note}`;
  if (element.dataset.shown === shown) {
    return;
  }
  element.dataset.shown = shown;
  element.replaceChildren();
  if (failure !== '') {
    const message = document.createElement('strong');
    message.textContent = failure;
    const stale = document.createElement('span');
    stale.className = 'stale-note';
    stale.textContent = note;
    element.append(message, stale);
  }
}

// The radio buttons of the duct types, in the engine's order, the first checked.
function addMaterialChoices(container, captions) {
  const name = container.dataset.materials;
  captions.forEach((caption, index) => {
    const label = document.createElement('label');
    const input = document.createElement('input');
    input.type = 'radio';
    input.name = name;
    input.value = String(index);
    input.checked = index === 0;
    label.append(input, caption);
    container.append(label);
  });
}

function checkedMaterial(name) {
  return Number(document.querySelector(`input[name="${name}"]:checked`).value);
}

// The two velocity tables of the picture as tables for screen readers.
function addVelocityTables(container, velocities) {
  for (const [title, values] of velocities.tables) {
    const table = document.createElement('table');
    table.createCaption().textContent = title;
    // The corner above the row labels is an empty cell, not a header.
    addColumnHeadings(table, velocities.headings.map((heading) => heading.replace('\n', ' ')))
      .prepend(document.createElement('td'));
    let body = null;
    for (const [label, valueRow] of velocities.rows) {
      const th = document.createElement('th');
      th.textContent = label;
      if (valueRow < 0) {
        body = table.createTBody();
        th.scope = 'rowgroup';
        th.colSpan = velocities.headings.length + 1;
        body.insertRow().append(th);
        continue;
      }
      th.scope = 'row';
      const tr = body.insertRow();
      tr.append(th);
      for (const value of values[valueRow]) {
        tr.insertCell().textContent = value;
      }
    }
    container.append(table);
  }
}

// The sentence under the Size table: the size below the chosen one and the limits it broke.
function describeSmaller(element, answer, limits) {
  const smaller = answer.smaller;
  if (!smaller) {
    element.textContent = answer.failure === '' ? 'No smaller size in the series.' : '';
    return;
  }
  const broken = [];
  if (smaller.velocityBroken) {
    broken.push(`velocity ${smaller.velocity} m/s is above ${limits.velocity} m/s`);
  }
  if (smaller.frictionBroken) {
    broken.push(`friction ${smaller.friction} Pa/m is above ${limits.friction} Pa/m`);
  }
  const which = answer.failure === '' ? 'Next smaller size' : 'Largest size';
  element.textContent = `${which}, ${smaller.size} mm: ${broken.join(' and ')}.`;
}

// WAI-ARIA tabs with automatic activation: arrows move between the tabs (wrapping), Home and
// End go to the first and the last; the page shown is kept in the address's fragment.
function setUpTabs() {
  const tabs = [...document.querySelectorAll('[role="tab"]')];
  const select = (tab, focus) => {
    for (const other of tabs) {
      const selected = other === tab;
      other.setAttribute('aria-selected', String(selected));
      other.tabIndex = selected ? 0 : -1;
      byId(other.getAttribute('aria-controls')).hidden = !selected;
    }
    if (focus) {
      tab.focus();
    }
    history.replaceState(null, '', `#${tab.getAttribute('aria-controls')}`);
  };
  tabs.forEach((tab, index) => {
    tab.addEventListener('click', () => select(tab, false));
    tab.addEventListener('keydown', (event) => {
      const moves = {
        ArrowRight: index + 1, ArrowLeft: index - 1, Home: 0, End: tabs.length - 1,
      };
      if (!(event.key in moves) || event.altKey || event.ctrlKey || event.metaKey) {
        return;
      }
      event.preventDefault();
      select(tabs[(moves[event.key] + tabs.length) % tabs.length], true);
    });
  });
  const start = tabs.find((tab) => `#${tab.getAttribute('aria-controls')}` === location.hash);
  if (start) {
    select(start, false);
  }
}

async function copyText(text) {
  try {
    await navigator.clipboard.writeText(text);
    return true;
  } catch {
    // No asynchronous clipboard outside a secure context: copy through a selected text area.
    const area = document.createElement('textarea');
    area.value = text;
    area.setAttribute('readonly', '');
    area.className = 'visually-hidden';
    document.body.append(area);
    area.select();
    const copied = document.execCommand('copy');
    area.remove();
    return copied;
  }
}

function setUpCopying(tables) {
  const status = byId('copied');
  let clear = 0;
  for (const button of document.querySelectorAll('button.copy')) {
    button.addEventListener('click', async () => {
      const copied = await copyText(tables[button.dataset.table].tabSeparated());
      status.textContent = copied ? 'Table copied' : 'The browser did not allow copying';
      clearTimeout(clear);
      clear = setTimeout(() => { status.textContent = ''; }, 3000);
    });
  }
}

// The start texts as the user would type them: "." becomes the decimal separator.
function writeStartTexts(separator) {
  for (const input of document.querySelectorAll('.inputs input[type="text"]')) {
    input.value = input.defaultValue.replace('.', separator);
  }
}

function setUpPages(engine) {
  const { tables } = engine;
  for (const container of document.querySelectorAll('[data-materials]')) {
    addMaterialChoices(container, tables.materials);
  }
  const unit = byId('conversions-unit');
  for (const text of tables.conversions) {
    unit.add(new Option(text, text));
  }
  addVelocityTables(byId('velocity-tables'), tables.velocities);

  const text = (id) => byId(id).value;
  const result = {
    'round-table': new ResultTable(byId('round-table'), tables.round, tables.sizes.length, true),
    'rect-table': new ResultTable(byId('rect-table'), tables.rect, 1, false),
    'conversions-table': new ResultTable(byId('conversions-table'), tables.conversions, 1, false),
    'size-table': new ResultTable(byId('size-table'), tables.round, 1, true),
  };
  // Each page: its calculation over its own inputs, and what it shows besides the table.
  const pages = {
    round: () => engine.round(text('round-flow'), text('round-length'),
      checkedMaterial('round-type')),
    rect: () => engine.rect(text('rect-flow'), text('rect-side-a'), text('rect-side-b'),
      text('rect-length')),
    conversions: () => engine.convert(text('conversions-value'),
      unit.options[unit.selectedIndex].text),
    size: () => {
      const limits = { velocity: text('size-max-velocity'), friction: text('size-max-friction') };
      const answer = engine.size(text('size-flow'), text('size-length'),
        checkedMaterial('size-type'), limits.velocity, limits.friction);
      describeSmaller(byId('size-smaller'), answer, limits);
      return answer;
    },
  };
  const run = (page) => {
    const answer = pages[page]();
    const stale = result[`${page}-table`].apply(answer);
    showFailure(byId(`${page}-failure`), answer.failure, stale);
  };
  for (const page of Object.keys(pages)) {
    byId(page).addEventListener('input', () => run(page));
  }
  // The window computes its first two pages at start, and not the conversions; so does this,
  // and the Size page, which the window does not have.
  run('round');
  performance.mark('gustrule-round-table');
  run('rect');
  run('size');
  setUpCopying(result);
}

async function start() {
  // The engine loads and compiles in the background while the page gets ready.
  const loading = loadEngine();
  setUpTabs();
  const separator = decimalSeparatorOf(navigator.language);
  writeStartTexts(separator);
  try {
    const engine = await loading;
    performance.mark('gustrule-engine-loaded');
    engine.setDecimalSeparator(separator);
    addEventListener('languagechange', () => {
      engine.setDecimalSeparator(decimalSeparatorOf(navigator.language));
    });
    setUpPages(engine);
    document.documentElement.dataset.engine = 'ready';
  } catch (problem) {
    for (const element of document.querySelectorAll('.failure')) {
      showFailure(element, `The calculation engine could not be started: ${problem}`, 0);
    }
    document.documentElement.dataset.engine = 'failed';
  }
  if ('serviceWorker' in navigator) {
    navigator.serviceWorker.register('sw.js').catch(() => {
      // Without the worker the page still works; it just does not open offline.
    });
  }
}

start();
