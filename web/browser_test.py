#!/usr/bin/env python3
"""The page against the native game, in headless Chromium.

Each input script is played headless by the native build and by the page;
every picture (by SHA-256) and every state the script takes must be equal.
Then the page is opened as a player would, and must show its first frame.
With --bench, prints the page's download size and its time to the first
frame against the native start-up.
"""
import argparse
import base64
import functools
import hashlib
import http.server
import os
import pathlib
import queue
import shutil
import subprocess
import sys
import tempfile
import threading
import time

import serve

ROOT = pathlib.Path(__file__).resolve().parent.parent
CHROMIUM_FLAGS = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic',
                  '--no-first-run', '--disable-background-networking',
                  '--disable-component-update', '--disable-sync', '--window-size=1024,768']
PAGE_TIMEOUT_S = 240


def checkpointed(script_text, every):
    """The script with a state dump before every picture and every `every` lines, and at its end."""
    out, count, last_ms = [], 0, '0'
    for line in script_text.splitlines():
        words = line.split('#')[0].split()
        if len(words) >= 2:
            last_ms = words[0]
            count += 1
            if words[1] == 'shot' or count % every == 0:
                out.append(f'{words[0]} state state-{count:05}-{words[0]}.json')
        out.append(line)
    out.append(f'{last_ms} state state-end.json')
    return '\n'.join(out) + '\n'


def native_results(morvek, script):
    """What the native build takes of the script: {file: 'sha256:..' or base64}."""
    with tempfile.TemporaryDirectory() as run:
        (pathlib.Path(run) / 'Media').symlink_to(pathlib.Path(morvek).resolve().parent / 'Media')
        (pathlib.Path(run) / 'script.txt').write_text(script)
        subprocess.run([os.path.abspath(morvek), '--headless', '--script', 'script.txt'],
                       cwd=run, check=True, stdout=subprocess.DEVNULL, timeout=600)
        results = {}
        for path in sorted(pathlib.Path(run).rglob('*')):
            rel = path.relative_to(run).as_posix()
            if path.is_dir() or rel.startswith('Media') or rel == 'script.txt':
                continue
            data = path.read_bytes()
            results[rel] = ('sha256:' + hashlib.sha256(data).hexdigest() if rel.endswith('.bmp')
                            else base64.b64encode(data).decode())
        return results


class Page:
    """The page served with test files beside it, and reports it posts back."""

    def __init__(self, page_dir):
        self.dir = tempfile.mkdtemp(prefix='morvek-web-')
        for f in os.listdir(page_dir):
            shutil.copy(os.path.join(page_dir, f), self.dir)
        self.reports = queue.Queue()
        reports = self.reports

        class Handler(serve.Handler):
            def do_POST(self):
                body = self.rfile.read(int(self.headers['Content-Length'])).decode()
                self.send_response(204)
                self.end_headers()
                reports.put(body)

        self.server = http.server.ThreadingHTTPServer(
            ('127.0.0.1', 0), functools.partial(Handler, directory=self.dir))
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.address = f'http://127.0.0.1:{self.server.server_address[1]}/'

    def open(self, query, profile=None):
        """Opens index.html?query in a fresh browser (or the given profile); returns its report.

        A browser that reports nothing in time is tried once more, so a
        stalled start-up is not taken for a fault of the page."""
        for attempt in (1, 2):
            report = self._open_once(query, profile)
            if report is not None:
                return report
            print(f'web test: no report from the page within {PAGE_TIMEOUT_S} s (try {attempt})')
        sys.exit(f'web test: the page never reported ({query})')

    def _open_once(self, query, profile):
        own = profile is None
        profile = profile or tempfile.mkdtemp(prefix='morvek-chromium-')
        url = f'{self.address}index.html?{query}&report=/report'
        browser = subprocess.Popen(['chromium', *CHROMIUM_FLAGS, f'--user-data-dir={profile}', url],
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                   start_new_session=True)
        try:
            return self.reports.get(timeout=PAGE_TIMEOUT_S)
        except queue.Empty:
            return None
        finally:
            os.killpg(browser.pid, 9)
            browser.wait()
            if own:
                shutil.rmtree(profile, ignore_errors=True)

    def close(self):
        self.server.shutdown()
        shutil.rmtree(self.dir, ignore_errors=True)


def parse_report(text):
    head, _, rest = text.partition('\n')
    results = {}
    for line in rest.splitlines():
        name, _, value = line.partition(' ')
        results[name] = value
    return head, results


def compare(name, native, page_head, page):
    if page_head != 'exit 0':
        return [f'{name}: the page ended with "{page_head}"']
    faults = []
    # The page keeps its table in its storage, /save; the lock is the save's own.
    native = {k: v for k, v in native.items() if not k.endswith('.lock')}
    page = {k.removeprefix('save/'): v for k, v in page.items() if not k.endswith('.lock')}
    for file in sorted(set(native) | set(page)):
        if file not in page:
            faults.append(f'{name}: the page did not write {file}')
        elif file not in native:
            faults.append(f'{name}: the page wrote {file}, the native game did not')
        elif native[file] != page[file]:
            what = 'picture' if file.endswith('.bmp') else 'state'
            faults.append(f'{name}: the {what} {file} differs from the native one')
    return faults


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--native', required=True)
    parser.add_argument('--page', required=True)
    parser.add_argument('--bench', action='store_true')
    parser.add_argument('--against', help='with --bench: another build of the page, measured '
                        'in turn with this one')
    args = parser.parse_args()
    page = Page(args.page)
    faults = []
    try:
        if args.bench:
            bench(args, page)
            return
        for script, every in [(ROOT / 'recordings' / 'autopilot.txt', 80),
                              (ROOT / 'web' / 'menu-to-game-over.txt', 10)]:
            text = checkpointed(script.read_text(), every)
            native = native_results(args.native, text)
            (pathlib.Path(page.dir) / 'test.txt').write_text(text)
            head, results = parse_report(page.open('script=test.txt'))
            found = compare(script.name, native, head, results)
            faults += found
            print(f'web test: {script.name}: {len(native)} pictures and states, '
                  f'{"all equal to the native ones" if not found else f"{len(found)} differ"}')
        faults += scores_survive_reload(page)
    finally:
        page.close()
    for f in faults:
        print('FAIL', f)
    sys.exit(1 if faults else 0)


def scores_survive_reload(page):
    """A highscore saved in the page is still in its table after a reload."""
    profile = tempfile.mkdtemp(prefix='morvek-chromium-')
    try:
        (pathlib.Path(page.dir) / 'game.txt').write_text(
            (ROOT / 'web' / 'menu-to-game-over.txt').read_text())
        (pathlib.Path(page.dir) / 'look.txt').write_text('500 shot shots/menu.bmp\n')
        _, played = parse_report(page.open('script=game.txt', profile))
        _, reloaded = parse_report(page.open('script=look.txt', profile))
    finally:
        shutil.rmtree(profile, ignore_errors=True)
    table = base64.b64decode(reloaded.get('save/myscore.txt', '')).decode(errors='replace')
    saved = base64.b64decode(played.get('save/myscore.txt', '')).decode(errors='replace')
    if not saved.startswith('WEB '):
        return [f'reload: the game did not save its highscore in the page (table: {saved!r})']
    if table != saved:
        return [f'reload: the highscores did not survive a reload (table now: {table!r})']
    print('web test: the highscores survive a reload of the page')
    return []


def page_size(folder):
    import gzip
    files = sorted(pathlib.Path(folder).iterdir())
    size = sum(f.stat().st_size for f in files)
    packed = sum(len(gzip.compress(f.read_bytes(), 9)) for f in files)
    return f'{size / 1e6:.2f} MB in {len(files)} files, {packed / 1e6:.2f} MB compressed'


def first_frame_ms(page):
    head, _ = parse_report(page.open('snap=200'))
    return float(head.split()[1])


def bench_against(args, page):
    """This page and another build of it, opened in turn: sizes and first menu frames."""
    other = Page(args.against)
    try:
        print(f'page:    {page_size(args.page)}')
        print(f'against: {page_size(args.against)}')
        mine, theirs = [], []
        for _ in range(3):
            theirs.append(first_frame_ms(other))
            mine.append(first_frame_ms(page))
        a, b = sorted(mine)[1], sorted(theirs)[1]
        print(f'first menu frame, median of 3 each: page {a:.0f} ms, against {b:.0f} ms '
              f'(x{a / b:.2f})')
    finally:
        other.close()


def bench(args, page):
    """Download size and time to the first menu frame, the page against the native game."""
    if args.against:
        bench_against(args, page)
        return
    print(f'page: {page_size(args.page)}')
    head, results = parse_report(page.open('snap=200'))
    first = float(head.split()[1])
    media = float(results.get('media-ms', 'nan'))
    native = pathlib.Path(args.native).resolve()
    with tempfile.TemporaryDirectory() as run:
        start = time.perf_counter()
        subprocess.run([str(native.parent / 'morvek-media'), '--out', f'{run}/Media'], check=True)
        drawn = time.perf_counter()
        (pathlib.Path(run) / 'first.txt').write_text('1 shot first.bmp\n')
        subprocess.run([str(native), '--headless', '--script', 'first.txt'], cwd=run, check=True)
        end = time.perf_counter()
    native_media, native_first = (drawn - start) * 1e3, (end - drawn) * 1e3
    print(f'pictures drawn: page {media:.0f} ms, native {native_media:.0f} ms '
          f'(x{media / native_media:.1f})')
    print(f'first menu frame: page {first:.0f} ms from opening (pictures included), native '
          f'{native_media + native_first:.0f} ms (x{first / (native_media + native_first):.1f})')
    png = base64.b64decode(results.get('png', ',').split(',', 1)[1])
    if png:
        out = ROOT / 'build-web-obj' / 'first-frame.png'
        out.write_bytes(png)
        print(f'the first frame as the page shows it: {out}')


if __name__ == '__main__':
    main()
