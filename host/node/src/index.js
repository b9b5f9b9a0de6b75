export { FieldPilot } from './fieldpilot.js';
export { dictate } from './dictation.js';
export { HelperError } from './helper-error.js';
