// setTimeout fires at once for a delay it cannot hold (above 2^31 - 1 ms), so a limit beyond it
// would kill every run straight away.
const longestDelayMs = 2 ** 31 - 1;

/** Throws a TypeError unless the value is a usable number of milliseconds for a time limit. */
export function checkTimerDelay(value, what) {
  if (!(typeof value === 'number' && value > 0 && value <= longestDelayMs)) {
    throw new TypeError(`${what} must be a number of milliseconds above 0 and at most ${longestDelayMs}`);
  }
}
