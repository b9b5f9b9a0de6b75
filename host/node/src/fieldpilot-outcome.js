import { HelperError } from './helper-error.js';

/**
 * What one finished run of fieldpilot means: its reply (for "dump", the report text) when it
 * exited with status 0, otherwise a HelperError to throw.
 */
export function fieldpilotOutcome(run, { command, path, timeoutMs, textReport }) {
  const label = `fieldpilot ${command}`;
  const ending = { status: run.status, signal: run.signal, stderr: run.stderr };
  if (run.spawnError) {
    throw new HelperError(`${label}: cannot start ${path}: ${run.spawnError.message}`, {
      code: 'spawn',
      cause: run.spawnError,
    });
  }
  if (run.timedOut) {
    throw new HelperError(`${label}: no reply within ${timeoutMs} ms; the process was killed`, {
      code: 'timeout',
      ...ending,
    });
  }
  if (run.status === 0 && textReport) return run.stdout;

  const reply = replyLine(run.stdout);
  if (run.status === 0 && reply) return reply;
  if (run.status !== 0 && run.stdout === '') {
    throw new HelperError(`${label}: ended (${endingText(run)}) without a reply`, {
      code: 'no_reply',
      ...ending,
    });
  }
  if (run.status !== 0 && typeof reply?.error === 'string') {
    throw new HelperError(`${label}: ${reply.error} (${endingText(run)})`, {
      code: reply.error,
      reply,
      ...ending,
    });
  }
  throw new HelperError(
    `${label}: ended (${endingText(run)}) with output that is not one JSON reply line: ` +
      JSON.stringify(run.stdout.slice(0, 200)),
    { code: 'protocol', ...ending },
  );
}

/** The object of an output that is exactly one JSON object followed by one line feed. */
function replyLine(output) {
  if (output.indexOf('\n') !== output.length - 1) return undefined;
  try {
    const value = JSON.parse(output);
    return value !== null && typeof value === 'object' && !Array.isArray(value) ? value : undefined;
  } catch {
    return undefined;
  }
}

function endingText({ status, signal }) {
  return status === null ? `signal ${signal}` : `status ${status}`;
}
