// Measures the web page in headless Chromium and prints Markdown table rows for the README:
// what the page loads (gzipped), cold navigation to the first full round table, and keystroke to
// updated table on each page, timed inside the page. Run by tools/bench-web.sh.
import { readFileSync } from 'node:fs';
import { gzipSync } from 'node:zlib';
import { launch, serve, site } from './support.mjs';

const COLD_LOADS = 21;
const KEYSTROKES = 200;

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
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
// sets), in a fresh context each time.
async function coldStart() {
  const times = [];
  for (let i = 0; i < COLD_LOADS; i += 1) {
    const { context, page } = await coldPage();
    await page.goto(server.url);
    await page.waitForFunction(() => document.documentElement.dataset.engine === 'ready');
    times.push(await page.evaluate(() => performance.getEntriesByName('gustrule-round-table')[0]
      .startTime));
    await context.close();
  }
  return median(times);
}

// One keystroke's change of a box, timed inside the page from the input event until the table
// is written and laid out again; the median of KEYSTROKES.
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
  return median(times);
}

const ms = (value) => `${value.toFixed(value < 10 ? 2 : 0)} ms`;
try {
  const size = await transfer();
  const kb = (bytes) => `${(bytes / 1024).toFixed(0)} KB`;
  console.log(`| web page: everything a visit loads, ${size.count} files, gzipped | `
    + `${kb(size.gzipped)} (${kb(size.raw)} raw) | under 300 KB |`);
  console.log('| web page: cold navigation to the first full round table | '
    + `${ms(await coldStart())} | under 300 ms |`);
  const flows = ['183.7', '183.8', '1', '18', '183', '500', '50'];
  for (const [tab, box, texts] of [
    ['Round Duct', 'round-flow', flows],
    ['Rectangular Duct', 'rect-flow', flows],
    ['Conversions', 'conversions-value', flows],
    ['Size', 'size-flow', flows],
  ]) {
    console.log(`| web page: keystroke to updated table, ${tab} | `
      + `${ms(await keystrokes(tab, box, texts))} | under 4 ms |`);
  }
} finally {
  await browser.close();
  await server.stop();
}
