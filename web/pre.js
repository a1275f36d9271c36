// The page's side of the game, run before main starts.
// - The page's address gives the program's options: each ?name=value becomes --name value and a bare
//   ?name (or name=) becomes --name, in the address's order (?fixed-dt=0.0166&frames=600&bot). The options
//   that read an input file (replay, script) take a URL relative to the page: the page fetches it and
//   writes it into the in-memory file system before main starts, and the program reads it from there.
//   Without a window option the game starts in its 800 x 600 window.
// - The saved files (scores, settings, the editors' files) live under the home folder, which is kept in
//   the browser's storage (IndexedDB): loaded before main starts, written back after every save.
// - Standard output goes to console.log and standard error to console.warn.
// - Browsers start sound only after a click or a key; the page says so until then.
(function () {
    var INPUT_OPTIONS = { replay: true, script: true };
    var WINDOW_OPTIONS = { windowed: true, fullscreen: true, geometry: true };
    var HOME = '/home/web_user';
    var notice = document.getElementById('notice');
    var canvas = document.getElementById('canvas');

    function Say(text) {
        if (notice) {
            notice.textContent = text;
            notice.style.display = text ? '' : 'none';
        }
    }

    var args = [];
    var inputs = [];
    var windowChosen = false;
    new URLSearchParams(location.search).forEach(function (value, name) {
        if (WINDOW_OPTIONS[name]) windowChosen = true;
        args.push('--' + name);
        if (INPUT_OPTIONS[name]) {
            var path = '/input/' + inputs.length + '-' + (value.replace(/.*\//, '') || name);
            inputs.push({ url: value, path: path });
            args.push(path);
        } else if (value !== '') {
            args.push(value);
        }
    });
    if (!windowChosen) args.unshift('--windowed');
    Module.arguments = args;

    Module.canvas = canvas;
    Module.print = function (text) { console.log(text); };
    Module.printErr = function (text) { console.warn(text); };

    // The saved files: one write-back at a time, and one more when saves came during it.
    var syncing = false, again = false;
    Module.skarnSync = function () {
        if (syncing) {
            again = true;
            return;
        }
        syncing = true;
        FS.syncfs(false, function (err) {
            syncing = false;
            if (err) console.error('storage: saving failed: ' + err);
            else console.log('storage: saved');
            if (again) {
                again = false;
                Module.skarnSync();
            }
        });
    };

    Module.preRun = Module.preRun || [];
    Module.preRun.push(function () {
        FS.mkdirTree(HOME);
        FS.mount(IDBFS, {}, HOME);
        addRunDependency('storage');
        FS.syncfs(true, function (err) {
            if (err) console.error('storage: the saved files could not be loaded: ' + err);
            removeRunDependency('storage');
        });

        if (inputs.length === 0) return;
        FS.mkdirTree('/input');
        addRunDependency('inputs');
        Promise.all(inputs.map(function (input) {
            return fetch(input.url).then(function (response) {
                if (!response.ok) throw new Error(input.url + ': ' + response.status + ' ' + response.statusText);
                return response.arrayBuffer();
            }).then(function (bytes) {
                FS.writeFile(input.path, new Uint8Array(bytes));
            }).catch(function (e) {
                // The program then says that the file cannot be read, and ends.
                console.error('skarnhold: cannot fetch ' + (e.message || e));
            });
        })).then(function () { removeRunDependency('inputs'); });
    });

    Module.setStatus = function (text) {
        if (text) Say(text);
    };
    var gesture = false, ended = false;
    Module.onRuntimeInitialized = function () {
        if (!gesture) Say('Click or press a key to turn the sound on');
        canvas.focus();
        // A browser that lets the page play without a gesture starts the sound at once: no need to ask.
        var poll = setInterval(function () {
            var sdl = Module.SDL2;
            if (gesture || ended || (sdl && sdl.audioContext && sdl.audioContext.state === 'running')) {
                clearInterval(poll);
                if (!gesture && !ended) Say('');
            }
        }, 250);
    };
    function OnGesture() {
        if (gesture || ended) return;
        gesture = true;
        var sdl = Module.SDL2;
        if (sdl && sdl.audioContext && sdl.audioContext.state !== 'running') sdl.audioContext.resume();
        Say('');
    }
    ['mousedown', 'keydown', 'touchstart'].forEach(function (type) {
        window.addEventListener(type, OnGesture, true);
    });
    Module.onExit = function (code) {
        ended = true;
        Say('The game has ended' + (code ? ' (exit code ' + code + ')' : '') + '. Reload the page to play again.');
    };
    Module.onAbort = function (what) {
        ended = true;
        Say('The game stopped on an error (' + what + '). Reload the page to play again.');
    };

    // The game's full screen is the browser's, of the whole page (the canvas then scales to the screen).
    Module.skarnFullScreen = function (on) {
        var page = document.documentElement;
        if (on && !document.fullscreenElement && page.requestFullscreen) {
            page.requestFullscreen().catch(function (e) {
                console.warn('full screen: the browser refused (' + (e.message || e) + ')');
            });
        } else if (!on && document.fullscreenElement && document.exitFullscreen) {
            document.exitFullscreen().catch(function () {});
        }
    };

    // The canvas fills the page and keeps the picture's aspect.
    function Fit() {
        var w = canvas.width || 800, h = canvas.height || 600;
        var s = Math.min(window.innerWidth / w, window.innerHeight / h);
        canvas.style.width = Math.floor(w * s) + 'px';
        canvas.style.height = Math.floor(h * s) + 'px';
    }
    window.addEventListener('resize', Fit);
    new MutationObserver(Fit).observe(canvas, { attributes: true, attributeFilter: ['width', 'height'] });
    Fit();
})();
