/**
 * A run of fieldpilot or voicepipe that did not succeed. `code` says why: the error text that the
 * program wrote, or one of the client's own codes ("no_reply", "protocol", "timeout", "spawn",
 * "exit", "cancelled").
 */
export class HelperError extends Error {
  constructor(message, { code, status = null, signal = null, reply, stderr = '', cause }) {
    super(message, cause === undefined ? undefined : { cause });
    this.name = 'HelperError';
    this.code = code;
    this.status = status;
    this.signal = signal;
    this.reply = reply;
    this.stderr = stderr;
  }
}
