// vorpane-page.js - the page around the show: the address read into a start,
// the canvas scaled, the atlas and a scene fetched into the program's files,
// the program started, its state shown under the picture and offered to
// tests as window.vorpane (polled, never per animation frame); scenes pasted
// or opened from disk handed to the running show; the program's stderr
// (a scene's mistakes) shown on the page.
'use strict';

(function () {
  // The desktop's options, as address parameters; the same ranges.
  const LAST_FRAME = 100000000;

  // ?start-frame=N&paused&scale=K&scene=NAME -> {startFrame, paused, scale,
  // scene}, or {error}; NAME is checked against the site's list later.
  function readAddress(search) {
    const start = { startFrame: 1, paused: false, scale: 1, scene: null };
    const whole = (text, low, high) => (/^[0-9]{1,9}$/.test(text) && +text >= low && +text <= high ? +text : null);
    for (const [name, value] of new URLSearchParams(search)) {
      if (name === 'start-frame') {
        start.startFrame = whole(value, 1, LAST_FRAME);
        if (start.startFrame === null) return { error: `start-frame wants a frame from 1 to ${LAST_FRAME}, not "${value}"` };
      } else if (name === 'scale') {
        start.scale = whole(value, 1, 4);
        if (start.scale === null) return { error: `scale wants 1, 2, 3 or 4, not "${value}"` };
      } else if (name === 'scene') {
        start.scene = value;
      } else if (name === 'paused') {
        if (value !== '') return { error: `paused takes no value, not "${value}"` };
        start.paused = true;
      } else {
        return { error: `unknown parameter "${name}"; the page takes start-frame=N, paused, scale=K and scene=NAME` };
      }
    }
    return start;
  }

  const canvas = document.getElementById('canvas');
  const status = document.getElementById('status');
  const message = document.getElementById('message');
  const report = document.getElementById('report');
  const state = { ended: false, error: null, firstFrameMs: null, started: false };

  function say(text) {
    document.getElementById('message-text').textContent = text;
    message.style.display = 'block';
  }
  // Nothing started: starting again would not help.
  function refuse(text) {
    say(text);
    document.getElementById('again').style.display = 'none';
  }
  document.getElementById('again').addEventListener('click', () => location.reload());

  // Keys belong to whatever has the focus. The show's keys reach the program
  // only while the picture has it, and there they must not scroll the page;
  // every other key, and every key in a field, is the browser's (Tab moves
  // the focus, Backspace deletes). The program's listeners cancel what they
  // take, so these run first: in the capture phase on the window, registered
  // before the program's script is added. Releases always pass, so a key
  // held while the focus moves away is not left down in the program.
  const showKeys = new Set([' ', 'ArrowRight', 'PageDown', 'PageUp', '.', 'h', 'H', 'Escape', '-', '=', '+']);
  const sortKey = (event) => {
    if (document.activeElement === canvas && showKeys.has(event.key) && !event.ctrlKey && !event.altKey && !event.metaKey) {
      event.preventDefault();
    } else {
      event.stopImmediatePropagation();
    }
  };
  window.addEventListener('keydown', sortKey, true);
  window.addEventListener('keypress', sortKey, true);
  // The program's own pointer listeners may cancel the press that would
  // give the picture the focus.
  canvas.addEventListener('pointerdown', () => canvas.focus());
  canvas.focus();

  const exported = (name) => () => (state.started ? Module['_vorpane_' + name]() : 0);
  window.vorpane = {
    frame: exported('frame'),
    presented: exported('presented'),
    paused: () => exported('paused')() === 1,
    hud: () => exported('hud')() === 1,
    ended: () => state.ended,
    error: () => state.error,
    firstFrameMs: () => state.firstFrameMs,
  };

  const start = readAddress(location.search);
  if (start.error) {
    state.error = start.error;
    status.textContent = '';
    refuse('This address cannot start the show: ' + start.error + '.');
    return;
  }
  // A rule, not the canvas's own style, which emscripten rewrites.
  const rule = document.createElement('style');
  rule.textContent = `#canvas { width: ${640 * start.scale}px; height: ${480 * start.scale}px; }`;
  document.head.appendChild(rule);

  const fetchBytes = (path) => fetch(path).then((r) => (r.ok ? r.arrayBuffer() : null)).catch(() => null);
  const atlas = fetchBytes('parts.png');
  // The site's scenes: scenes/list.txt names them, one a line.
  const scenes = fetch('scenes/list.txt').then((r) => (r.ok ? r.text() : ''))
    .then((text) => text.split('\n').filter((name) => name !== ''), () => []);
  scenes.then((names) => {
    const list = document.getElementById('scene-list');
    names.forEach((name, i) => {
      const link = document.createElement('a');
      link.href = '?scene=' + encodeURIComponent(name);
      link.textContent = name;
      list.append(i ? ', ' : '', link);
    });
  });
  // The scene the address names, written where main reads it.
  const scene = !start.scene ? Promise.resolve(null) : scenes.then((names) => {
    if (!names.includes(start.scene)) throw new Error(`unknown scene "${start.scene}"; the site has ${names.join(', ')}`);
    return fetchBytes(`scenes/${start.scene}.toml`).then((bytes) => {
      if (!bytes) throw new Error(`scene "${start.scene}" could not be fetched`);
      return { path: `scenes/${start.scene}.toml`, bytes: new Uint8Array(bytes) };
    });
  });
  // Refused as soon as it is known; the program is not waited for.
  scene.catch((error) => {
    state.error = error.message;
    refuse('This address cannot start the show: ' + error.message + '.');
  });

  // The emulation's own start-up notices stay warnings in the console; what
  // the program writes on stderr (a scene's mistakes, a missing atlas) is
  // shown on the page as well.
  const notice = /^WARNING: using emscripten GL/;
  window.Module = {
    canvas: canvas,
    printErr: (text) => {
      if (notice.test(text)) return console.warn(text);
      console.error(text);
      report.textContent += text + '\n';
    },
    onRuntimeInitialized: () => {
      Promise.all([atlas, scene]).then(([bytes, named]) => {
        // Without the atlas the show says so and draws white squares, as on
        // the desktop.
        if (bytes) Module.FS.writeFile('parts.png', new Uint8Array(bytes));
        const args = [String(start.startFrame), start.paused ? 'paused' : 'running'];
        if (named) {
          Module.FS.mkdirTree('scenes');
          Module.FS.writeFile(named.path, named.bytes);
          args.push(named.path);
        }
        state.started = Module.callMain(args) === 0;
        if (!state.started) refuse('The scene has mistakes (listed below); the show did not start.');
      }, () => {});
    },
    onFirstFrame: () => { state.firstFrameMs = performance.now(); },
    onShowEnded: () => {
      state.ended = true;
      say('The show has ended (Escape).');
    },
  };

  // A scene of the person's own, read into the running show as the desktop
  // reads a saved --scene file; the file's name is the one its mistakes name.
  function play(name, text) {
    if (!state.started || state.ended) return;
    report.textContent = '';
    Module.FS.writeFile(name, text);
    Module.ccall('vorpane_play_scene', 'number', ['string'], [name]);
  }
  document.getElementById('play-text').addEventListener('click', () => {
    play('pasted.toml', document.getElementById('scene-text').value);
  });
  document.getElementById('scene-file').addEventListener('change', (event) => {
    const file = event.target.files[0];
    if (file) file.text().then((text) => play(file.name.replace(/[^A-Za-z0-9._-]/g, '_'), text));
  });

  setInterval(() => {
    if (!state.started || state.ended) return;
    status.textContent = `frame ${window.vorpane.frame()}${window.vorpane.paused() ? ', paused' : ''}`;
  }, 250);

  const program = document.createElement('script');
  program.src = 'vorpane-web.js';
  document.body.appendChild(program);
})();
