// Dragging the skin moves the frameless window with the mouse; dragging in the browser does
// not. The test display has no window manager, so the client moves the window itself.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import {
  Buttons, ScenarioTimeout, clickAt, dragMouse, scenario, screenshot, waitFor, windowGeometry,
} from './harness.mjs';

// Where the drag starts, in window coordinates, and by how much the mouse moves.
const cases = [
  { where: 'the skin above the browser', at: { x: 300, y: 80 }, by: { x: -120, y: -70 },
    moves: true },
  { where: 'the skin below the browser', at: { x: 420, y: 586 }, by: { x: 90, y: 50 },
    moves: true },
  { where: 'the browser', at: { x: 400, y: 300 }, by: { x: 100, y: 60 }, moves: false },
  { where: 'the skin beside the buttons', at: { x: 700, y: 20 }, by: { x: 30, y: 20 },
    moves: true },
];

// The mouse may land a pixel off the asked point.
const Tolerance = 2;

function near(actual, expected) {
  return Math.abs(actual.x - expected.x) <= Tolerance &&
    Math.abs(actual.y - expected.y) <= Tolerance;
}

test('a drag on the skin moves the window by the mouse\'s travel, a drag in the browser does not',
  { timeout: ScenarioTimeout },
  (t) => scenario(t, { name: 'windowmove' }, async ({ server, client }) => {
    await client.waitForPage(`${server.origin}/Home/Home/Index`);
    const window = client.mainWindowId();

    for (const [index, { where, at, by, moves }] of cases.entries()) {
      const before = windowGeometry(window);
      const from = { x: before.x + at.x, y: before.y + at.y };
      dragMouse(from, { x: from.x + by.x, y: from.y + by.y });
      if (moves) {
        const expected = { x: before.x + by.x, y: before.y + by.y };
        await waitFor(() => near(windowGeometry(window), expected), () => {
          const now = windowGeometry(window);
          return `the window moved from ${before.x},${before.y} to about ${expected.x},` +
            `${expected.y} by a drag on ${where} (it is at ${now.x},${now.y})`;
        });
      } else {
        // The click on the sound test that follows is handled after the drag.
        const since = client.mark();
        const button = Buttons.soundTest;
        clickAt(before.x + button.x + button.width / 2, before.y + button.y + button.height / 2);
        await client.waitForLog('sound-test button pressed', { since });
        await client.closeRecordingCheck(since);
        const after = windowGeometry(window);
        assert.deepEqual({ x: after.x, y: after.y }, { x: before.x, y: before.y }, where);
      }
      assert.equal(windowGeometry(window).width, 800, where);
      screenshot(`windowmove-${index}`);
    }
  }));
