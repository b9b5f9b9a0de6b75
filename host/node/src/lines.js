/**
 * Calls onLine with each line of a stream's text, without its line feed, however the stream is
 * chunked: a line (or a UTF-8 character) split across chunks arrives whole. Text after the last
 * line feed counts as a line when the stream ends.
 */
export function forEachLine(stream, onLine) {
  let pending = '';
  stream.setEncoding('utf8');
  stream.on('data', (text) => {
    const lines = (pending + text).split('\n');
    pending = lines.pop();
    for (const line of lines) onLine(line);
  });
  stream.on('end', () => {
    if (pending !== '') onLine(pending);
  });
}
