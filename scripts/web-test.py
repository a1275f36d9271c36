#!/usr/bin/python3
"""Drives the web build (dist/web) in Debian's headless Chromium over the DevTools protocol.

    scripts/web-test.py test  --game build/skarnhold [--out DIR]   the checks below; exit status 1 on a failure
    scripts/web-test.py bench [--game build/skarnhold]              the web rows of the benchmark table

The page is served from 127.0.0.1 on a free port; the test's own files (the replay, the script) are served
under /webtest/. Chromium talks the protocol on its file descriptors 3 (commands in) and 4 (replies and events
out), one JSON message per NUL-terminated record. Every wait has a time limit.

The checks:
  replay   a replay recorded by the desktop build (the bot plays until its first run is over and its name
           is typed), played in the page on the same fixed clock, prints the same "run:" lines in the
           console as the desktop build prints when it plays it;
  watch    neither the desktop build nor the page saves a high-score file while the replay plays (a
           replay only watches);
  pictures the menu and the level, taken from the page, are drawn: the colours of the title and the
           buttons, of the cave and the ground, where they belong (saved in --out for a person to see);
  scores   the high-score file the page saved after a scripted run (the script clicks Play, jumps at a
           steady beat and types a name at the game over) is there after a reload, the same bytes as the
           desktop's after the same script;
  size     the page's script, wasm and data come to at most 5 MB gzipped.
The figures (printed by both commands): the transfer size of the page (script, wasm and data, gzip), the
time from navigation to the end of the first frame, and the level's frame time (the main loop's work in a
frame while the party runs, and the time from one frame to the next). The test checks no time.
"""
import argparse
import base64
import functools
import gzip
import http.server
import json
import os
import re
import select
import signal
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DT = "0.0166"  # the fixed clock of the desktop recording and of the page
BOT_FRAMES = 1500  # frames the bot plays (its run goes on far longer): the menu and about 20 s of the level
NAME_DELAY_MS = 10000  # game time from the bot's last frame to typing the name
SCRIPT_NAME_FRAME = 3000  # the scripted run types its name in this frame, long after its end
# The scripted run's beats: SPACE pressed every PERIOD frames for HOLD frames. The first whose run puts its
# name into the default Hall Of Fame (on the desktop build) is played in the page.
SCRIPT_BEATS = ((30, 5), (20, 15), (60, 15), (70, 5), (50, 5))
TRANSFER_MB_MAX = 5.0
TOTAL_TIMEOUT = 900  # seconds for the whole test: a stuck browser or game never holds CI up longer
PAGE_TIMEOUT = 30.0  # seconds for the page to load, start and reach the menu
REPLAY_TIMEOUT = 240.0  # seconds for the page to play the replay (about a minute of game time)


class Failure(Exception):
    pass


# ----------------------------------------------------------------------------------------------------------
# The server: dist/web at /, the test's files at /webtest/, on 127.0.0.1 only.


def Serve(web_dir, extra_dir):
    class Handler(http.server.SimpleHTTPRequestHandler):
        extensions_map = dict(http.server.SimpleHTTPRequestHandler.extensions_map,
                              **{".wasm": "application/wasm", ".data": "application/octet-stream",
                                 ".js": "text/javascript"})

        def translate_path(self, path):
            if path.startswith("/webtest/"):
                return os.path.join(extra_dir, os.path.basename(path.split("?")[0]))
            return super().translate_path(path)

        def end_headers(self):
            self.send_header("Cache-Control", "no-store")
            super().end_headers()

        def log_message(self, *args):
            pass

    class Server(http.server.ThreadingHTTPServer):
        def handle_error(self, request, client_address):
            pass  # a browser closing a connection early (a favicon asked for at the end) is no failure

    server = Server(("127.0.0.1", 0), functools.partial(Handler, directory=web_dir))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


# ----------------------------------------------------------------------------------------------------------
# Chromium over the pipe


class Browser:
    def __init__(self, chromium, profile):
        to_r, self.to_w = os.pipe()  # our commands: Chromium reads them on its descriptor 3
        self.from_r, from_w = os.pipe()  # its replies: written on its descriptor 4

        def Descriptors():
            os.setsid()  # a process group of its own: every process of the browser goes at the end
            a, b = os.dup(to_r), os.dup(from_w)  # out of the way of 3 and 4 first
            os.dup2(a, 3)
            os.dup2(b, 4)

        args = [chromium, "--headless=new", "--remote-debugging-pipe", "--no-sandbox", "--no-first-run",
                "--no-default-browser-check", "--disable-breakpad", "--disable-gpu", "--mute-audio",
                "--window-size=1024,768",
                "--autoplay-policy=no-user-gesture-required", "--user-data-dir=" + profile, "about:blank"]
        os.makedirs(profile, exist_ok=True)
        self.log = open(os.path.join(profile, "chromium.log"), "wb")
        self.proc = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=self.log, stderr=self.log,
                                     pass_fds=(3, 4), preexec_fn=Descriptors)
        os.close(to_r)
        os.close(from_w)
        self.buf = b""
        self.next_id = 0
        self.replies = {}
        self.console = []  # the page's console lines, in order
        self.errors = []  # uncaught exceptions of the page
        self.session = None

    def Close(self):
        try:
            self.Call("Browser.close", timeout=5, session=False)
        except Failure:
            pass
        try:
            self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            pass
        try:
            os.killpg(self.proc.pid, signal.SIGKILL)  # the browser's helpers left behind, if any
        except ProcessLookupError:
            pass
        self.proc.wait()
        os.close(self.to_w)
        os.close(self.from_r)
        self.log.close()

    def _Read(self, deadline):
        """Reads what Chromium sent until one message is handled or the deadline passes."""
        while b"\0" not in self.buf:
            left = deadline - time.monotonic()
            if left <= 0:
                return False
            ready, _, _ = select.select([self.from_r], [], [], left)
            if not ready:
                return False
            chunk = os.read(self.from_r, 1 << 20)
            if not chunk:
                raise Failure("Chromium closed its pipe (exit status %s); see its log %s" %
                              (self.proc.poll(), self.log.name))
            self.buf += chunk
        record, self.buf = self.buf.split(b"\0", 1)
        message = json.loads(record)
        if "id" in message:
            self.replies[message["id"]] = message
        elif message.get("method") == "Runtime.consoleAPICalled":
            args = message["params"]["args"]
            text = " ".join(str(a.get("value", a.get("description", ""))) for a in args)
            self.console.extend(text.split("\n"))
        elif message.get("method") == "Runtime.exceptionThrown":
            d = message["params"]["exceptionDetails"]
            self.errors.append(d.get("exception", {}).get("description", d.get("text", "?")))
        return True

    def Call(self, method, params=None, timeout=20.0, session=None):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session is not False and (session or self.session):
            message["sessionId"] = session or self.session
        os.write(self.to_w, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + timeout
        while self.next_id not in self.replies:
            if not self._Read(deadline):
                raise Failure("Chromium did not answer %s within %g s" % (method, timeout))
        reply = self.replies.pop(self.next_id)
        if "error" in reply:
            raise Failure("%s failed: %s" % (method, reply["error"].get("message")))
        return reply["result"]

    def WaitFor(self, what, test, timeout):
        """Reads events until test() holds; fails after timeout seconds or on an exception of the page."""
        deadline = time.monotonic() + timeout
        while True:
            if self.errors:
                raise Failure("the page threw while waiting for %s: %s" % (what, self.errors[0]))
            if test():
                return
            if not self._Read(deadline) and time.monotonic() >= deadline:
                tail = "\n    ".join(self.console[-15:]) or "(nothing)"
                raise Failure("no %s within %g s; the page's last console lines:\n    %s" % (what, timeout, tail))

    def OpenPage(self):
        target = self.Call("Target.createTarget", {"url": "about:blank"})["targetId"]
        self.session = self.Call("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        self.Call("Page.enable")
        self.Call("Runtime.enable")
        self.Call("Emulation.setDeviceMetricsOverride",
                  {"width": 1024, "height": 768, "deviceScaleFactor": 1, "mobile": False})
        self.Call("Page.addScriptToEvaluateOnNewDocument", {"source": FRAME_CLOCK})

    def Navigate(self, url):
        self.console.clear()
        self.errors.clear()
        reply = self.Call("Page.navigate", {"url": url})
        if reply.get("errorText"):
            raise Failure("cannot load %s: %s" % (url, reply["errorText"]))

    def Eval(self, expression, timeout=20.0):
        reply = self.Call("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                               "awaitPromise": True}, timeout=timeout)
        if "exceptionDetails" in reply:
            raise Failure("the page could not evaluate %s: %s" %
                          (expression[:60], reply["exceptionDetails"].get("exception", {}).get("description")))
        return reply["result"].get("value")

    def WaitFrames(self, count):
        self.Eval("new Promise(r => { let n = %d; const f = () => --n ? requestAnimationFrame(f) : r(); "
                  "requestAnimationFrame(f); })" % count, timeout=30)

    def CanvasShot(self, path):
        """The canvas as the page shows it, saved as a PNG; returns (width, height, RGB bytes)."""
        box = self.Eval("(() => { const c = document.querySelector('canvas'); if (!c) return null; "
                        "const r = c.getBoundingClientRect(); return [r.left, r.top, r.width, r.height]; })()")
        if not box or box[2] < 64 or box[3] < 48:
            raise Failure("the page has no canvas of a usable size (%s)" % box)
        clip = {"x": box[0], "y": box[1], "width": box[2], "height": box[3], "scale": 1}
        png = base64.b64decode(self.Call("Page.captureScreenshot", {"format": "png", "clip": clip})["data"])
        with open(path, "wb") as f:
            f.write(png)
        return DecodePng(png)


# Injected before the page's own scripts: times every animation-frame callback (the main loop runs in them)
# and notes at which callback each state change of the game, and its first run's end, was printed.
FRAME_CLOCK = r"""
(() => {
    const frames = [], marks = {};
    window.__webtest = {frames, marks};
    const request = window.requestAnimationFrame.bind(window);
    window.requestAnimationFrame = cb => request(t => {
        const start = performance.now();
        try { cb(t); } finally { frames.push([start, performance.now() - start]); }
    });
    for (const k of ['log', 'info', 'warn', 'error', 'debug']) {
        const write = console[k].bind(console);
        console[k] = (...a) => {
            const m = /state \d+ -> \d+|^run:/.exec(a.join(' '));
            if (m && !(m[0] in marks)) marks[m[0]] = frames.length;
            write(...a);
        };
    }
})();
"""


# ----------------------------------------------------------------------------------------------------------
# Pictures


def DecodePng(data):
    """8-bit RGB or RGBA, not interlaced (what Chromium writes): (width, height, RGB bytes)."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise Failure("the screenshot is no PNG")
    pos, idat = 8, b""
    while pos < len(data):
        length = int.from_bytes(data[pos:pos + 4], "big")
        kind, body = data[pos + 4:pos + 8], data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            w, h = int.from_bytes(body[0:4], "big"), int.from_bytes(body[4:8], "big")
            depth, colour, interlace = body[8], body[9], body[12]
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    if depth != 8 or colour not in (2, 6) or interlace:
        raise Failure("the screenshot's PNG kind is not handled (depth %d, colour %d)" % (depth, colour))
    bpp = 3 if colour == 2 else 4
    raw, stride = zlib.decompress(idat), w * bpp
    out, prev = bytearray(), bytearray(stride)
    for y in range(h):
        f, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b, c = prev[i], prev[i - bpp] if i >= bpp else 0
            if f == 1:
                line[i] = (line[i] + a) & 255
            elif f == 2:
                line[i] = (line[i] + b) & 255
            elif f == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        prev = line
        out += line if bpp == 3 else bytes(v for i, v in enumerate(line) if i % 4 != 3)
    return w, h, bytes(out)


def Share(picture, box, kind):
    """The share of the pixels in box (fractions x0, y0, x1, y1 of the picture) whose colour is of kind."""
    w, h, rgb = picture
    x0, y0, x1, y1 = int(box[0] * w), int(box[1] * h), int(box[2] * w), int(box[3] * h)
    hits = total = 0
    for y in range(y0, y1, 2):
        row = rgb[y * w * 3:(y + 1) * w * 3]
        for x in range(x0, x1, 2):
            hits += kind(row[3 * x], row[3 * x + 1], row[3 * x + 2])
            total += 1
    return hits / max(total, 1)


def Dark(r, g, b):
    return max(r, g, b) < 40


def Orange(r, g, b):  # the title's letters
    return r > 200 and 110 < g < 230 and b < 140 and r - b > 90


def Grey(r, g, b):  # stone: the buttons and the title's frame
    return 70 < r < 200 and abs(r - g) < 20 and abs(g - b) < 20


def Cave(r, g, b):  # the blue-grey cave behind the level
    return b > r + 10 and b >= g and 25 < b < 140


def Ground(r, g, b):  # the sandy ground blocks
    return r > g > b and r > 90 and r - b > 25


# (what, region, colour, least share): a region of the canvas and the share of it that the colour must fill.
MENU_REGIONS = [
    ("title letters", (0.1, 0.28, 0.9, 0.40), Orange, 0.15),
    ("buttons", (0.40, 0.47, 0.60, 0.95), Grey, 0.30),
    ("dark background", (0.0, 0.45, 0.3, 1.0), Dark, 0.8),
]
LEVEL_REGIONS = [
    ("cave", (0.0, 0.15, 1.0, 0.6), Cave, 0.4),
    ("ground", (0.0, 0.85, 1.0, 1.0), Ground, 0.25),
]


def CheckPicture(name, picture, regions):
    problems = []
    for what, box, kind, least in regions:
        share = Share(picture, box, kind)
        if share < least:
            problems.append("%s: %.0f%% of its region, at least %.0f%% expected" %
                            (what, share * 100, least * 100))
    return problems


# ----------------------------------------------------------------------------------------------------------
# The desktop build's side


def Desktop(game, args, work):
    """Runs the desktop game headless with its own save and settings folders; returns its message lines."""
    saves, config = os.path.join(work, "saves"), os.path.join(work, "config")
    shutil.rmtree(saves, ignore_errors=True)
    shutil.rmtree(config, ignore_errors=True)
    os.makedirs(saves)
    os.makedirs(config)
    cmd = [game, "--headless", "--windowed", "--fixed-dt", DT, "--save-dir", saves, "--config-dir", config] + args
    try:
        run = subprocess.run(cmd, capture_output=True, text=True, timeout=300, cwd=work)
    except subprocess.TimeoutExpired:
        raise Failure("the desktop game did not end within 300 s: %s" % " ".join(cmd))
    if run.returncode != 0:
        raise Failure("the desktop game failed (status %d): %s\n%s" % (run.returncode, " ".join(cmd), run.stderr))
    return run.stderr.splitlines(), saves


def RecordReplay(game, work):
    """The bot plays the first BOT_FRAMES frames of a run, recorded; then the replay lets go of the keys, so
    the party meets its end within NAME_DELAY_MS, and types the name BOT at the game over."""
    recording = os.path.join(work, "bot.rep")
    Desktop(game, ["--bot", "--frames", str(BOT_FRAMES), "--record", recording], work)
    with open(recording) as f:
        lines = f.read().splitlines()
    if not lines or not lines[-1].startswith("end "):
        raise Failure("the bot's recording %s does not end with its end line" % recording)
    end = int(lines.pop().split()[1])
    held = {}
    for line in lines:
        words = line.split()
        if words[0].isdigit() and words[1] in ("down", "up"):
            held[words[2]] = words[1] == "down"
    lines += ["%d up %s" % (end, key) for key, down in held.items() if down]
    step = end + NAME_DELAY_MS
    for key in (66, 79, 84, 13):  # B O T, ENTER
        lines += ["%d down %d" % (step, key), "%d up %d" % (step + 50, key)]
        step += 100
    lines.append("end %d" % (step + 1000))
    replay = os.path.join(work, "run.rep")
    with open(replay, "w") as f:
        f.write("\n".join(lines) + "\n")
    return replay


def WriteScript(game, work):
    """work/run.script: a click on Play once the menu takes clicks, SPACE at a steady beat, the name BOT and
    ENTER in SCRIPT_NAME_FRAME. Returns the high-score file the desktop build saves after it: the first beat
    of SCRIPT_BEATS whose run enters the Hall Of Fame is kept."""
    path = os.path.join(work, "run.script")
    play = round(3.7 / float(DT))  # the splash lasts 3 s, the menu takes clicks half a second later
    for period, hold in SCRIPT_BEATS:
        lines = ["%d move 400 300" % play, "%d press 1" % play, "%d release 1" % (play + 2)]
        for frame in range(play + 17, SCRIPT_NAME_FRAME - 100, period):
            lines += ["%d down 32" % frame, "%d up 32" % (frame + hold)]
        for i, key in enumerate((66, 79, 84, 13)):  # B O T, ENTER
            lines += ["%d down %d" % (SCRIPT_NAME_FRAME + 3 * i, key), "%d up %d" % (SCRIPT_NAME_FRAME + 3 * i + 1, key)]
        with open(path, "w") as f:
            f.write("\n".join(lines) + "\n")
        _, saves = Desktop(game, ["--script", path, "--frames", str(SCRIPT_NAME_FRAME + 100), "--draw-shots-only"],
                           work)
        scores = os.path.join(saves, "highscore.txt")
        if os.path.exists(scores):
            with open(scores) as f:
                text = f.read()
            if "\nBOT\n" in "\n" + text:
                return text
    raise Failure("no scripted run put BOT into the desktop build's Hall Of Fame (beats %s)" % (SCRIPT_BEATS,))


# ----------------------------------------------------------------------------------------------------------
# Figures


def TransferBytes(web_dir):
    """Script, wasm and packed data, each compressed by gzip as a server would send it."""
    total = 0
    for name in ("skarnhold.js", "skarnhold.wasm", "skarnhold.data"):
        with open(os.path.join(web_dir, name), "rb") as f:
            total += len(gzip.compress(f.read(), 6))
    return total


def FirstFrameMs(browser):
    """From navigation to the end of the first frame of the main loop."""
    return browser.Eval("(() => { const f = window.__webtest.frames[0]; return f ? f[0] + f[1] : null; })()")


def LevelFrames(browser):
    """The main loop's frames while the party runs (from half a second into the level to the end of the
    run): the median of their work (ms), the median time from one to the next (ms) and their count."""
    frames = browser.Eval("(() => { const w = window.__webtest, i = w.marks['state 1 -> 2'], "
                          "j = w.marks['run:']; return i === undefined || j === undefined ? [] : "
                          "w.frames.slice(i + 30, j); })()")
    if len(frames) < 2:
        return None, None, 0
    gaps = [b[0] - a[0] for a, b in zip(frames, frames[1:])]
    return statistics.median(f[1] for f in frames), statistics.median(gaps), len(frames)


def Row(what, value, target="", ok=True):
    print("  %-44s %14s  %-10s %s" % (what, value, target, "ok" if ok else "OVER"), flush=True)


# ----------------------------------------------------------------------------------------------------------


def WaitState(browser, change, timeout):
    browser.WaitFor("'%s' line" % change, lambda: any(change in line for line in browser.console), timeout)


def RunLines(lines):
    """The lines a replay must print alike everywhere: each run's result and each state change's frame."""
    return [line.strip() for line in lines if re.match(r"\s*(run:|frame \d+: state )", line)]


def ReadSavedScores(browser):
    """The page's high-score file, looked for under /home, the folder the page keeps in the browser's storage
    (the packed data folder has a high-score file of its own, the defaults)."""
    return browser.Eval(r"""(() => {
        const fs = (typeof Module !== 'undefined' && Module.FS) || (typeof FS !== 'undefined' && FS);
        if (!fs) return {error: 'the page exposes no file system (Module.FS)'};
        const walk = dir => {
            for (const name of fs.readdir(dir)) {
                if (name === '.' || name === '..') continue;
                const path = dir + name, st = fs.stat(path);
                if (fs.isDir(st.mode)) { const p = walk(path + '/'); if (p) return p; }
                else if (name === 'highscore.txt') return path;
            }
            return null;
        };
        const path = fs.analyzePath('/home').exists ? walk('/home/') : null;
        return path ? {path, text: fs.readFile(path, {encoding: 'utf8'})} : {error: 'no highscore.txt under /home'};
    })()""")


def Test(opts, browser, base, work):
    failures = []

    def Check(name, problems):
        print("web-test: %-8s %s" % (name, "ok" if not problems else "FAILED"), flush=True)
        for p in problems:
            print("    " + p, flush=True)
        failures.extend(problems)

    # The desktop side: the recording, what the desktop prints when it plays it (and it saves nothing), and
    # the scripted run with what it saves.
    replay = RecordReplay(opts.game, work)
    desktop_lines, desktop_saves = Desktop(opts.game, ["--replay", replay], work)
    want = RunLines(desktop_lines)
    if sum(line.startswith("run:") for line in want) != 1 or os.listdir(desktop_saves):
        raise Failure("the desktop build's replay did not end one run, or saved files: run: lines %s, saved %s" %
                      (want, os.listdir(desktop_saves)))
    want_scores = WriteScript(opts.game, work)

    # The menu, from a page left to itself.
    browser.Navigate(base + "index.html?fixed-dt=" + DT)
    WaitState(browser, "state 0 -> 1", PAGE_TIMEOUT)
    browser.WaitFrames(60)
    menu = browser.CanvasShot(os.path.join(opts.out, "menu.png"))
    Check("menu", CheckPicture("menu", menu, MENU_REGIONS))
    first_ms = FirstFrameMs(browser)

    # The replay: the level's picture on the way, the run: lines at the end.
    browser.Navigate(base + "index.html?fixed-dt=%s&replay=webtest/run.rep" % DT)
    WaitState(browser, "state 1 -> 2", PAGE_TIMEOUT)
    browser.WaitFrames(120)
    level = browser.CanvasShot(os.path.join(opts.out, "level.png"))
    Check("level", CheckPicture("level", level, LEVEL_REGIONS))
    WaitState(browser, "-> 6", REPLAY_TIMEOUT)
    got = RunLines(browser.console)
    Check("replay", [] if got == want else
          ["the page printed:"] + ["  " + line for line in got] +
          ["the desktop build:"] + ["  " + line for line in want])
    frame_ms, gap_ms, frame_count = LevelFrames(browser)
    with open(os.path.join(opts.out, "console.txt"), "w") as f:
        f.write("\n".join(browser.console) + "\n")
    saved = ReadSavedScores(browser)
    Check("watch", [] if saved.get("error") == "no highscore.txt under /home" else
          ["the page that played the replay has %s" % saved.get("path", saved.get("error"))])

    # The scripted run saves its score; after a reload it is still there.
    browser.Navigate(base + "index.html?fixed-dt=%s&frames=%d&script=webtest/run.script" %
                     (DT, SCRIPT_NAME_FRAME + 100))
    WaitState(browser, "-> 6", REPLAY_TIMEOUT)
    browser.WaitFor("'storage: saved' line", lambda: any("storage: saved" in line for line in browser.console),
                    PAGE_TIMEOUT)
    browser.Navigate(base + "index.html?fixed-dt=" + DT)
    WaitState(browser, "state 0 -> 1", PAGE_TIMEOUT)
    saved = ReadSavedScores(browser)
    if "error" in saved:
        Check("scores", ["after a reload: " + saved["error"]])
    else:
        Check("scores", [] if saved["text"] == want_scores else
              ["after a reload %s holds %r, the desktop's file %r" % (saved["path"], saved["text"], want_scores)])

    transfer = TransferBytes(opts.web) / 1e6
    Check("size", [] if transfer <= TRANSFER_MB_MAX else
          ["script, wasm and data are %.2f MB gzipped, at most %g MB expected" % (transfer, TRANSFER_MB_MAX)])

    print("web-test: pictures in %s" % opts.out, flush=True)
    print("web-test: transfer %.2f MB (gzip), first frame %.0f ms, level frame %.2f ms of work every %.2f ms "
          "(medians of %d frames)" % (transfer, first_ms or -1, frame_ms or -1, gap_ms or -1, frame_count),
          flush=True)
    if failures:
        raise Failure("%d check(s) failed" % len(failures))


def Bench(opts, browser, base, work):
    transfer = TransferBytes(opts.web) / 1e6
    firsts = []
    for _ in range(3):
        browser.Navigate(base + "index.html?fixed-dt=" + DT)
        WaitState(browser, "state 0 -> 1", PAGE_TIMEOUT)
        firsts.append(FirstFrameMs(browser))
    RecordReplay(opts.game, work)
    browser.Navigate(base + "index.html?fixed-dt=%s&replay=webtest/run.rep" % DT)
    WaitState(browser, "-> 6", REPLAY_TIMEOUT)
    frame_ms, gap_ms, count = LevelFrames(browser)
    print("Skarnhold in headless Chromium (%s): the page of %s, the level on a %s s fixed clock" %
          (browser.version, opts.web, DT))
    Row("page transfer, gzip (MB)", "%.2f" % transfer, "<= 5", transfer <= TRANSFER_MB_MAX)
    Row("navigation to first frame (ms, best of 3)", "%.0f" % min(firsts))
    Row("level frame's work, median (ms, %d frames)" % count, "%.2f" % frame_ms if frame_ms else "-")
    Row("level frame to frame, median (ms)", "%.2f" % gap_ms if gap_ms else "-")
    print("bench-web: transfer_mb=%.2f first_frame_ms=%.0f level_frame_ms=%.2f level_frame_gap_ms=%.2f" %
          (transfer, min(firsts), frame_ms or -1, gap_ms or -1), flush=True)


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    p.add_argument("mode", choices=["test", "bench"])
    p.add_argument("--web", default=os.path.join(ROOT, "dist", "web"))
    p.add_argument("--game", default=os.path.join(ROOT, "build", "skarnhold"))
    p.add_argument("--out", default=os.path.join(ROOT, "build-web", "web-test"))
    p.add_argument("--chromium", default="/usr/bin/chromium")
    opts = p.parse_args()
    opts.web, opts.game, opts.out = (os.path.abspath(x) for x in (opts.web, opts.game, opts.out))
    for path, what in ((opts.web + "/index.html", "the page (make web)"), (opts.game, "the desktop game"),
                       (opts.chromium, "Chromium (scripts/install-deps.sh --web)")):
        if not os.path.exists(path):
            print("web-test: %s is missing: %s" % (what, path), file=sys.stderr)
            return 1
    os.makedirs(opts.out, exist_ok=True)

    def OutOfTime(signum, frame):
        raise Failure("stopped after %d s (the whole test's time limit)" % TOTAL_TIMEOUT
                      if signum == signal.SIGALRM else "stopped by signal %d" % signum)

    signal.signal(signal.SIGALRM, OutOfTime)
    signal.signal(signal.SIGTERM, OutOfTime)
    signal.alarm(TOTAL_TIMEOUT)
    work = tempfile.mkdtemp(prefix="skarn-webtest-")
    server = Serve(opts.web, work)
    browser = Browser(opts.chromium, os.path.join(work, "profile"))
    try:
        browser.version = browser.Call("Browser.getVersion", session=False)["product"]
        browser.OpenPage()
        base = "http://127.0.0.1:%d/" % server.server_address[1]
        (Test if opts.mode == "test" else Bench)(opts, browser, base, work)
    except Failure as e:
        print("web-test: FAILED: %s" % e, file=sys.stderr)
        return 1
    finally:
        signal.alarm(0)
        browser.Close()
        server.shutdown()
        shutil.rmtree(work, ignore_errors=True)
    if opts.mode == "test":
        print("web-test: passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
