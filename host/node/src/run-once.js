import { spawn } from 'node:child_process';

/**
 * Runs a program to its end and collects what it wrote. Never rejects: resolves with
 * { status, signal, stdout, stderr, timedOut, spawnError }, where spawnError is set when the
 * program could not be started and timedOut when it was killed for passing timeoutMs. Either
 * way the process has exited and been reaped when the promise settles.
 */
export function runOnce({ path, args, env, input, timeoutMs }) {
  return new Promise((resolve) => {
    const stdout = [];
    const stderr = [];
    let timedOut = false;
    let settled = false;
    let child;

    const finish = (ending) => {
      if (settled) return;
      settled = true;
      clearTimeout(timer);
      resolve({
        status: null,
        signal: null,
        stdout: Buffer.concat(stdout).toString('utf8'),
        stderr: Buffer.concat(stderr).toString('utf8'),
        timedOut,
        ...ending,
      });
    };
    // A process that has exited may leave its output open in a process that it started; once
    // it is gone there is nothing more to wait for.
    const closeOutput = () => {
      child.stdout.destroy();
      child.stderr.destroy();
    };
    const timer = setTimeout(() => {
      timedOut = true;
      if (child.exitCode === null && child.signalCode === null) child.kill('SIGKILL');
      else closeOutput();
    }, timeoutMs);

    try {
      child = spawn(path, args, { env, stdio: [input === undefined ? 'ignore' : 'pipe', 'pipe', 'pipe'] });
    } catch (error) {
      finish({ spawnError: error });
      return;
    }
    child.stdout.on('data', (chunk) => stdout.push(chunk));
    child.stderr.on('data', (chunk) => stderr.push(chunk));
    child.on('error', (error) => {
      // Also emitted when a kill fails; only an error before there is a process ends the run.
      if (child.pid !== undefined) return;
      closeOutput();
      finish({ spawnError: error });
    });
    child.on('exit', () => {
      if (timedOut) closeOutput();
    });
    child.on('close', (status, signal) => finish({ status, signal }));
    if (input !== undefined) {
      // A program that ends without reading its input (an operand error, the trust gate) closes
      // the pipe under the write. The EPIPE that follows says nothing that the reply and the exit
      // status do not.
      child.stdin.on('error', () => {});
      child.stdin.end(input);
    }
  });
}
