import { spawn } from 'node:child_process';
import { dictationEvent } from './dictation-event.js';
import { HelperError } from './helper-error.js';
import { forEachLine } from './lines.js';
import { checkTimerDelay } from './timer-delay.js';
import { unpackedPath } from './unpacked-path.js';

// voicepipe writes its final text 1.5 s after a stop; one that is still running well after that
// will not end by itself.
const defaultStopTimeoutMs = 5_000;

/** Starts one dictation: one voicepipe process, which runs until it stops itself or is stopped. */
export function dictate({ path, locale, silenceSeconds, env = process.env, stopTimeoutMs = defaultStopTimeoutMs } = {}) {
  if (typeof path !== 'string' || path === '') {
    throw new TypeError('dictate: `path` must name the voicepipe program');
  }
  // The program takes its arguments by position, the locale first.
  if (silenceSeconds !== undefined && locale === undefined) {
    throw new TypeError('dictate: `silenceSeconds` needs a `locale`');
  }
  checkTimerDelay(stopTimeoutMs, 'dictate: `stopTimeoutMs`');
  const args = [];
  if (locale !== undefined) args.push(String(locale));
  if (silenceSeconds !== undefined) args.push(String(silenceSeconds));
  return new Dictation(unpackedPath(path), args, env, stopTimeoutMs);
}

class Dictation {
  #child;
  #final;
  #resolveFinal;
  #rejectFinal;
  #events = [];
  #eventArrived = null;
  #announceEvent = () => {};
  #ended = false;
  #finalText;
  #errorText;
  #failure; // set when this client ends the run: { code, message }
  #stopping = false;
  #stopTimer;
  #stopTimeoutMs;
  #stderr = [];

  constructor(path, args, env, stopTimeoutMs) {
    this.#stopTimeoutMs = stopTimeoutMs;
    this.#final = new Promise((resolve, reject) => {
      this.#resolveFinal = resolve;
      this.#rejectFinal = reject;
    });
    // The host may never await `final` (reading only the events); its rejection is still handled.
    this.#final.catch(() => {});
    try {
      this.#child = spawn(path, args, { env, stdio: ['pipe', 'pipe', 'pipe'] });
    } catch (error) {
      this.#endWithSpawnError(error);
      return;
    }
    const child = this.#child;
    // Standard input stays open: its end stops the dictation. Writing it can fail only once the
    // program has gone, which its exit already tells.
    child.stdin.on('error', () => {});
    child.stderr.on('data', (chunk) => this.#stderr.push(chunk));
    forEachLine(child.stdout, (line) => this.#onLine(line));
    child.on('error', (error) => {
      // Also emitted when a kill fails; only an error before there is a process ends the run.
      if (child.pid === undefined) this.#endWithSpawnError(error);
    });
    child.on('exit', () => {
      if (this.#failure) this.#closeOutput();
    });
    child.on('close', (status, signal) => this.#end(status, signal));
  }

  /** The process id, or undefined when the program could not be started. */
  get pid() {
    return this.#child?.pid;
  }

  /** The final text; see the declarations for when it rejects. */
  get final() {
    return this.#final;
  }

  /** Ends the dictation the way the program expects: by the end of its standard input. */
  stop() {
    if (this.#ended || this.#stopping || !this.#child) return;
    this.#stopping = true;
    this.#child.stdin.end();
    this.#stopTimer = setTimeout(
      () => this.#kill('timeout', `still running ${this.#stopTimeoutMs} ms after the stop; killed`),
      this.#stopTimeoutMs,
    );
  }

  /** Kills the program; `final` rejects with "cancelled" once it has gone. */
  cancel() {
    this.#kill('cancelled', 'cancelled');
  }

  /** Every event of the dictation from its first, in order; ends when the program has exited. */
  [Symbol.asyncIterator]() {
    let next = 0;
    let returned = false;
    const iterator = {
      next: async () => {
        while (!returned && next >= this.#events.length && !this.#ended) {
          await (this.#eventArrived ??= new Promise((resolve) => (this.#announceEvent = resolve)));
        }
        if (returned || next >= this.#events.length) return { value: undefined, done: true };
        return { value: this.#events[next++], done: false };
      },
      // Leaving a loop early ends this iteration only; the dictation goes on.
      return: async () => {
        returned = true;
        return { value: undefined, done: true };
      },
      [Symbol.asyncIterator]: () => iterator,
    };
    return iterator;
  }

  #onLine(line) {
    if (this.#failure) return;
    const event = dictationEvent(line);
    if (!event) {
      this.#kill('protocol', `wrote a line that is not an event, ${JSON.stringify(line.slice(0, 200))}; killed`);
      return;
    }
    if (event.type === 'final') this.#finalText = event.value;
    if (event.type === 'error') this.#errorText = event.value;
    this.#events.push(event);
    this.#wakeIterators();
  }

  #kill(code, message) {
    if (this.#ended || this.#failure || !this.#child) return;
    this.#failure = { code, message };
    this.#child.stdin.destroy();
    if (this.#child.exitCode === null && this.#child.signalCode === null) this.#child.kill('SIGKILL');
    else this.#closeOutput();
  }

  // After a kill, a process that the program started may still hold its output open; once the
  // program itself is gone, nothing more is read.
  #closeOutput() {
    this.#child.stdout.destroy();
    this.#child.stderr.destroy();
  }

  #wakeIterators() {
    this.#announceEvent();
    this.#eventArrived = null;
  }

  #endWithSpawnError(error) {
    if (this.#ended) return;
    this.#child?.stdout.destroy();
    this.#child?.stderr.destroy();
    this.#finish(new HelperError(`voicepipe: cannot start: ${error.message}`, { code: 'spawn', cause: error }));
  }

  #end(status, signal) {
    if (this.#ended) return;
    const ending = { status, signal, stderr: Buffer.concat(this.#stderr).toString('utf8') };
    const how = status === null ? `signal ${signal}` : `status ${status}`;
    if (this.#failure) {
      this.#finish(new HelperError(`voicepipe: ${this.#failure.message}`, { code: this.#failure.code, ...ending }));
    } else if (status === 0 && this.#finalText !== undefined) {
      this.#finish(undefined, this.#finalText);
    } else if (this.#errorText !== undefined) {
      this.#finish(new HelperError(`voicepipe: ${this.#errorText} (${how})`, { code: this.#errorText, ...ending }));
    } else {
      this.#finish(new HelperError(`voicepipe: ended (${how}) without a final text`, { code: 'exit', ...ending }));
    }
  }

  #finish(error, text) {
    this.#ended = true;
    clearTimeout(this.#stopTimer);
    if (error) this.#rejectFinal(error);
    else this.#resolveFinal(text);
    this.#wakeIterators();
  }
}
