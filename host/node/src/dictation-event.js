/**
 * The event of one output line of voicepipe, { type, value }, or undefined when the line is not
 * a JSON object with exactly one member.
 */
export function dictationEvent(line) {
  let object;
  try {
    object = JSON.parse(line);
  } catch {
    return undefined;
  }
  if (object === null || typeof object !== 'object' || Array.isArray(object)) return undefined;
  const keys = Object.keys(object);
  return keys.length === 1 ? { type: keys[0], value: object[keys[0]] } : undefined;
}
