// The calculation engine, compiled to WebAssembly (WebEngine.cpp), as the page and the tests
// call it. Texts go in as UTF-8 in the module's heap, of any length; each answer comes back as
// JSON (see WebEngine.cpp) and is parsed here.
import GustruleEngine from './gustrule-engine.js';

const encoder = new TextEncoder();
const decoder = new TextDecoder();

// Loads the module. In a browser it instantiates the module that index.html began to compile
// as soon as its bytes arrived, or else fetches gustrule-engine.wasm beside this file itself;
// elsewhere (Node) pass the module's bytes as { wasmBinary }.
export async function loadEngine(moduleOptions = {}) {
  const options = { ...moduleOptions };
  const compiled = options.wasmBinary ? null : await globalThis.gustruleEngineModule;
  let instantiated = null;
  if (compiled) {
    options.instantiateWasm = (imports, receiveInstance) => {
      instantiated = WebAssembly.instantiate(compiled, imports)
        .then((instance) => receiveInstance(instance, compiled));
      return {};
    };
  }
  const loading = GustruleEngine(options);
  // The loader would wait for ever after a failed instantiation; its failure rejects here.
  const module = await (instantiated ? instantiated.then(() => loading) : loading);

  // Calls an exported function with texts and numbers; returns the parsed answer.
  const call = (name, ...args) => {
    const allocated = [];
    try {
      const values = args.map((arg) => {
        if (typeof arg === 'number') {
          return arg;
        }
        const bytes = encoder.encode(arg);
        const address = module._malloc(bytes.length + 1);
        if (address === 0) {
          throw new RangeError('the text is too long for the engine');
        }
        allocated.push(address);
        module.HEAPU8.set(bytes, address);
        module.HEAPU8[address + bytes.length] = 0;
        return address;
      });
      const answer = module[`_${name}`](...values);
      const heap = module.HEAPU8; // the heap may have grown during the call
      return JSON.parse(decoder.decode(heap.subarray(answer, heap.indexOf(0, answer))));
    } finally {
      allocated.forEach((address) => module._free(address));
    }
  };

  return {
    // Headings, duct types, units and the velocities reference table (gw_tables).
    tables: call('gw_tables'),
    // One character, or "." when `separator` is not exactly one UTF-16 unit, as the window
    // takes it from the locale.
    setDecimalSeparator(separator) {
      const single = separator.length === 1 && !/[\uD800-\uDFFF]/.test(separator);
      module._gw_set_decimal_separator((single ? separator : '.').codePointAt(0));
    },
    round: (flow, length, material) => call('gw_round', flow, length, material),
    rect: (flow, sideA, sideB, length) => call('gw_rect', flow, sideA, sideB, length),
    convert: (value, unit) => call('gw_convert', value, unit),
    size: (flow, length, material, maxVelocity, maxFriction) =>
      call('gw_size', flow, length, material, maxVelocity, maxFriction),
  };
}

// The decimal separator of a language, as Intl writes 1.5 in it: "," for "de-DE".
export function decimalSeparatorOf(language) {
  try {
    const parts = new Intl.NumberFormat(language).formatToParts(1.5);
    return parts.find((part) => part.type === 'decimal')?.value ?? '.';
  } catch {
    return '.';
  }
}
