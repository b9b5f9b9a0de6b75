import { fieldpilotOutcome } from './fieldpilot-outcome.js';
import { runOnce } from './run-once.js';
import { checkTimerDelay } from './timer-delay.js';
import { unpackedPath } from './unpacked-path.js';

// Each command's longest run on a slow application, with room for a cold start of the program.
const defaultTimeoutsMs = Object.freeze({
  focused: 10_000, // about 3 s of patient focus discovery, then a search of up to 4000 elements
  set: 10_000, // the discovery of "focused", then the write: about 3.5 s at the slowest
  dump: 10_000, // a fixed 500 ms wait, then a walk of up to the budget's elements
  focusfield: 10_000, // a search of up to 6000 elements, without a pause
  paste: 8_000, // activation (1.5 s, up to 0.42 s past it), the modifier wait (1.2 s), keys
  activate: 6_000, // activation (2 s, up to 0.42 s past it)
  clearfield: 6_000, // activation (1.5 s, up to 0.42 s past it), keys
  copy: 5_000, // the modifier wait (0.8 s), keys and two pauses
  window: 5_000, // one window server question
});

/**
 * Runs fieldpilot commands for a host, one process per command, one command at a time: they act
 * on one desktop, so each waits for the one called before it, whether that succeeded or not.
 */
export class FieldPilot {
  #path;
  #env;
  #timeoutMs;
  #previous = Promise.resolve();

  constructor({ path, env = process.env, timeoutMs } = {}) {
    if (typeof path !== 'string' || path === '') {
      throw new TypeError('FieldPilot: `path` must name the fieldpilot program');
    }
    if (timeoutMs !== undefined) checkTimerDelay(timeoutMs, 'FieldPilot: `timeoutMs`');
    this.#path = unpackedPath(path);
    this.#env = env;
    this.#timeoutMs = timeoutMs;
  }

  async focused({ blind = [] } = {}) {
    return this.#run('focused', blind.length ? ['--blind', blind.join(',')] : []);
  }

  async dump({ budget } = {}) {
    return this.#run('dump', budget === undefined ? [] : [String(budget)], { textReport: true });
  }

  async set(pid, text) {
    if (typeof text !== 'string') throw new TypeError('FieldPilot.set: `text` must be a string');
    return this.#run('set', [String(pid)], { input: text });
  }

  async paste(pid, mode) {
    if (mode !== 'all' && mode !== 'selection') {
      throw new TypeError("FieldPilot.paste: `mode` must be 'all' or 'selection'");
    }
    return this.#run('paste', [String(pid), mode]);
  }

  async copy({ allOf } = {}) {
    return this.#run('copy', allOf === undefined ? [] : ['all', String(allOf)]);
  }

  async focusField(pid) {
    return this.#run('focusfield', [String(pid)]);
  }

  async clearField(pid) {
    return this.#run('clearfield', [String(pid)]);
  }

  async activate(pid) {
    return this.#run('activate', [String(pid)]);
  }

  async window(windowId) {
    return this.#run('window', [String(windowId)]);
  }

  #run(command, operands, { input, textReport = false } = {}) {
    const path = this.#path;
    const timeoutMs = this.#timeoutMs ?? defaultTimeoutsMs[command];
    const run = this.#previous.then(() =>
      runOnce({ path, args: [command, ...operands], env: this.#env, input, timeoutMs }),
    );
    // runOnce never rejects, so the next command waits for this run to end and for nothing else.
    this.#previous = run;
    return run.then((ended) => fieldpilotOutcome(ended, { command, path, timeoutMs, textReport }));
  }
}
