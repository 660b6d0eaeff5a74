#!/usr/bin/python3
"""page_benchmark.py QUIZ_BENCHMARK ZIBCONV [COUNT]

Prints what headless Chromium makes of the page of the benchmark's set of
COUNT problems with two branches each (10000 by default: 30,000 lines):
the page's size, the time to its load event, and the time the search box
takes to show the lines of a query right after the load (the page makes
its search keys when the browser is first idle), of another query, and
of none (every line again). Figures only; nothing is asserted. Every driver call
has a timeout, and an alarm ends it all after five minutes."""
import os
import pathlib
import signal
import subprocess
import sys
import tempfile

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

WALL_CLOCK_SECONDS = 300
RUNS = 3

# Types a query into the search box and waits until the page has drawn
# the filtered list; returns the milliseconds and the lines shown.
SEARCH = """
const [query, done] = arguments;
const box = document.querySelector('input[type=search]');
const start = performance.now();
box.value = query;
box.dispatchEvent(new Event('input'));
requestAnimationFrame(() => requestAnimationFrame(() => {
    const shown = document.querySelectorAll('main article:not([hidden])').length;
    done([performance.now() - start, shown]);
}));
"""


def start_browser(profile):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                     "--user-data-dir=" + profile, "--window-size=1000,1300", "--no-first-run",
                     "--disable-extensions", "--disable-background-networking"):
        options.add_argument(argument)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    driver.set_page_load_timeout(60)
    driver.set_script_timeout(60)
    driver.implicitly_wait(0)
    return driver


def main():
    os.setpgrp()
    signal.signal(signal.SIGALRM, lambda *_: (print("page benchmark: out of time", flush=True),
                                              os.killpg(os.getpgrp(), signal.SIGKILL)))
    signal.alarm(WALL_CLOCK_SECONDS)
    quiz_benchmark, zibconv = sys.argv[1], sys.argv[2]
    count = int(sys.argv[3]) if len(sys.argv) > 3 else 10000
    with tempfile.TemporaryDirectory(prefix="zib-page-bench-") as work:
        quiz = pathlib.Path(work, "set.xml")
        page = pathlib.Path(work, "set.html")
        subprocess.run([quiz_benchmark, "--write-set", str(count), str(quiz)], check=True, timeout=120)
        subprocess.run([zibconv, "export", str(quiz), str(page)], check=True, timeout=120, capture_output=True)
        size = page.stat().st_size / 1e6
        driver = start_browser(str(pathlib.Path(work, "profile")))
        try:
            loads = []
            for _ in range(RUNS):
                driver.get("about:blank")
                driver.get(page.as_uri())
                loads.append(driver.execute_script(
                    "const n = performance.getEntriesByType('navigation')[0];"
                    "return [n.domContentLoadedEventEnd, n.loadEventEnd];"))
            query = "信濃川%d" % (count // 2)
            first, shown = driver.execute_async_script(SEARCH, query)
            again, _ = driver.execute_async_script(SEARCH, "利根川")
            cleared, all_lines = driver.execute_async_script(SEARCH, "")
        finally:
            driver.quit()
    best = min(loads, key=lambda times: times[1])
    print("%6d problems (+%d branches), the page in Chromium: %.2f MB  DOMContentLoaded %.0f ms  load event %.0f ms "
          "(best of %d; target at most 3000)  search %.0f ms right after the load (%d lines shown), %.0f ms for another query, "
          "%.0f ms to show all %d lines (target at most 500)"
          % (count, 2 * count, size, best[0], best[1], RUNS,
             first, shown, again, cleared, all_lines))
    return 0


if __name__ == "__main__":
    sys.exit(main())
