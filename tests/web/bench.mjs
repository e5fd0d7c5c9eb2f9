// Measures the web page in headless Chromium and prints Markdown table rows for the README:
// what the page loads (gzipped), cold navigation to the first full round table, and keystroke to
// updated table on each page, timed inside the page. Run by tools/bench-web.sh.
import { readFileSync } from 'node:fs';
import { gzipSync } from 'node:zlib';
import { launch, serve, site } from './support.mjs';

const COLD_LOADS = 21;
const KEYSTROKES = 200;

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
// The median and, as a sign of how busy the machine was, the fastest.
const spread = (values) => ({ median: median(values), least: Math.min(...values) });
const server = await serve();
const browser = await launch();

// A fresh context, so nothing is cached, and no service worker, so every file comes from the
// server.
async function coldPage() {
  const context = await browser.newContext({ serviceWorkers: 'block' });
  return { context, page: await context.newPage() };
}

// Every file a visit loads, the picture included (its page shown), and the service worker.
async function transfer() {
  const { context, page } = await coldPage();
  const files = new Set(['sw.js']);
  page.on('response', (response) => {
    files.add(new URL(response.url()).pathname.slice(1) || 'index.html');
  });
  await page.goto(server.url);
  await page.waitForFunction(() => document.documentElement.dataset.engine === 'ready');
  await page.getByRole('tab', { name: 'Recommended Velocities' }).click();
  await page.waitForFunction(() => [...document.images].every((image) => image.complete));
  await context.close();
  let raw = 0;
  let gzipped = 0;
  for (const file of files) {
    const bytes = readFileSync(`${site}/${file}`);
    raw += bytes.length;
    gzipped += gzipSync(bytes).length; // level 6, as web servers compress
  }
  return { count: files.size, raw, gzipped };
}

// From the start of navigation to the moment the first round table is written (a mark the page
// sets), in a fresh context each time; also when the engine was ready (another mark) and the
// first paint, for where the time goes.
async function coldStart() {
  const runs = [];
  for (let i = 0; i < COLD_LOADS; i += 1) {
    const { context, page } = await coldPage();
    await page.goto(server.url);
    await page.waitForFunction(() => document.documentElement.dataset.engine === 'ready');
    runs.push(await page.evaluate(() => {
      const at = (name) => performance.getEntriesByName(name)[0]?.startTime ?? NaN;
      return [at('gustrule-round-table'), at('gustrule-engine-loaded'), at('first-paint')];
    }));
    await context.close();
  }
  return [0, 1, 2].map((i) => spread(runs.map((run) => run[i])));
}

// One keystroke's change of a box, timed inside the page from the input event until the table
// is written and laid out again, KEYSTROKES times.
async function keystrokes(tab, box, texts) {
  const context = await browser.newContext({ serviceWorkers: 'block' });
  const page = await context.newPage();
  await page.goto(server.url);
  await page.waitForFunction(() => document.documentElement.dataset.engine === 'ready');
  await page.getByRole('tab', { name: tab }).click();
  const times = await page.evaluate(([id, values, count]) => {
    const input = document.getElementById(id);
    const section = input.closest('section');
    const result = [];
    for (let i = 0; i < count; i += 1) {
      input.value = values[i % values.length];
      const start = performance.now();
      input.dispatchEvent(new InputEvent('input', { bubbles: true }));
      section.getBoundingClientRect(); // the layout the change needs
      result.push(performance.now() - start);
    }
    return result;
  }, [box, texts, KEYSTROKES]);
  await context.close();
  return spread(times);
}

const ms = (value) => `${value.toFixed(value < 10 ? 2 : 0)} ms`;
const msSpread = ({ median: middle, least }) => `${ms(middle)} (fastest ${ms(least)})`;
try {
  const size = await transfer();
  const kb = (bytes) => `${(bytes / 1024).toFixed(0)} KB`;
  console.log(`| web page: everything a visit loads, ${size.count} files, gzipped | `
    + `${kb(size.gzipped)} (${kb(size.raw)} raw) | under 300 KB |`);
  const [table, engine, paint] = await coldStart();
  console.log('| web page: cold navigation to the first full round table | '
    + `${msSpread(table)}; engine ready ${ms(engine.median)}, first paint ${ms(paint.median)} `
    + '| under 300 ms |');
  const flows = ['183.7', '183.8', '1', '18', '183', '500', '50'];
  for (const [tab, box, texts] of [
    ['Round Duct', 'round-flow', flows],
    ['Rectangular Duct', 'rect-flow', flows],
    ['Conversions', 'conversions-value', flows],
    ['Size', 'size-flow', flows],
  ]) {
    console.log(`| web page: keystroke to updated table, ${tab} | `
      + `${msSpread(await keystrokes(tab, box, texts))} | under 4 ms |`);
  }
} finally {
  await browser.close();
  await server.stop();
}
