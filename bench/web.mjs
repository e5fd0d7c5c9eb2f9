// Measures the web page in headless Chromium and prints Markdown table rows for the README:
// what the page loads (gzipped), cold navigation to the first full round table, and keystroke to
// updated table on each page, timed inside the page. Run by tools/bench-web.sh, with the web
// tests' support and packages.
import { readFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { gzipSync } from 'node:zlib';
import { launch, serve, site } from '../tests/web/support.mjs';

const COLD_LOADS = 21;
const TRACED_LOADS = 5;
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
// first paint, for where the time goes. Then a few loads traced, for the main thread's own time
// over the same span (its tasks, less the waits for the network and for other programs).
async function coldStart() {
  const runs = [];
  const threadTimes = [];
  const trace = `${tmpdir()}/gustrule-bench-trace.json`;
  for (let i = 0; i < COLD_LOADS + TRACED_LOADS; i += 1) {
    const traced = i >= COLD_LOADS;
    const { context, page } = await coldPage();
    if (traced) {
      await page.goto('about:blank');
      const categories = ['toplevel', 'blink.user_timing'];
      await browser.startTracing(page, { path: trace, categories });
    }
    await page.goto(server.url);
    await page.waitForFunction(() => document.documentElement.dataset.engine === 'ready');
    runs.push(await page.evaluate(() => {
      const at = (name) => performance.getEntriesByName(name)[0]?.startTime ?? NaN;
      return [at('gustrule-round-table'), at('gustrule-engine-loaded'), at('first-paint')];
    }));
    if (traced) {
      await browser.stopTracing();
      const events = JSON.parse(readFileSync(trace, 'utf8')).traceEvents;
      const mark = events.find((e) => e.name === 'gustrule-round-table');
      const start = events.filter((e) => e.name === 'navigationStart' && e.pid === mark.pid).pop();
      threadTimes.push(events.filter((e) => e.pid === mark.pid && e.tid === mark.tid
        && e.ph === 'X' && e.name === 'ThreadControllerImpl::RunTask'
        && e.ts >= start.ts && e.ts <= mark.ts).reduce((sum, e) => sum + (e.tdur ?? 0), 0) / 1000);
    }
    await context.close();
  }
  const clock = runs.slice(0, COLD_LOADS);
  return [{ ...spread(clock.map((run) => run[0])), thread: median(threadTimes) },
    median(clock.map((run) => run[1])), median(clock.map((run) => run[2]))];
}

// One keystroke's change of a box, timed inside the page from the input event until the table
// is written and laid out again, KEYSTROKES times; and, from a trace of the same, the main
// thread's own time for each (the event, then the style and layout it forced), which other
// programs on the machine disturb less than the clock.
async function keystrokes(tab, box, texts) {
  const { context, page } = await coldPage();
  await page.goto(server.url);
  await page.waitForFunction(() => document.documentElement.dataset.engine === 'ready');
  await page.getByRole('tab', { name: tab }).click();
  const type = () => page.evaluate(([id, values, count]) => {
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
  const times = await type();
  // The same again, traced: tracing slows the clock's figures, not the thread's.
  const trace = `${tmpdir()}/gustrule-bench-trace.json`;
  await browser.startTracing(page, { path: trace, categories: ['devtools.timeline'] });
  await type();
  await browser.stopTracing();
  await context.close();
  const events = JSON.parse(readFileSync(trace, 'utf8')).traceEvents
    .filter((e) => e.ph === 'X' && e.tdur !== undefined).sort((a, b) => a.ts - b.ts);
  const threadTimes = [];
  for (const e of events) {
    if (e.name === 'EventDispatch' && e.args?.data?.type === 'input') {
      threadTimes.push(e.tdur / 1000);
    } else if ((e.name === 'UpdateLayoutTree' || e.name === 'Layout') && threadTimes.length > 0) {
      threadTimes[threadTimes.length - 1] += e.tdur / 1000;
    }
  }
  return { ...spread(times), thread: median(threadTimes) };
}

const ms = (value) => `${value.toFixed(value < 10 ? 2 : 0)} ms`;
const msSpread = ({ median: middle, least, thread }) => `${ms(middle)} (fastest ${ms(least)}`
  + `${thread === undefined ? '' : `; main thread's own time ${ms(thread)}`})`;
try {
  const size = await transfer();
  const kb = (bytes) => `${(bytes / 1024).toFixed(0)} KB`;
  console.log(`| web page: everything a visit loads, ${size.count} files, gzipped | `
    + `${kb(size.gzipped)} (${kb(size.raw)} raw) | under 300 KB |`);
  const [table, engine, paint] = await coldStart();
  console.log('| web page: cold navigation to the first full round table | '
    + `${msSpread(table)}; engine ready ${ms(engine)}, first paint ${ms(paint)} | under 300 ms |`);
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
