#!/usr/bin/env python3
"""A report page in a real browser: Debian's Chromium, headless, driven
through chromedriver by python3-selenium.

  report_browser_test.py PICTURE_PROBE SAMPLES_DIR WORK_DIR

A page over the bundled samples, a cut copy of one (an error) and a copy
turned by rorient, with thumbnails beside it, and the same page with them
inside it (--single-file). In each: no console error, every thumbnail loads,
nothing comes from outside; sorting by a column and filtering by verdict and
text change the rows as expected; a click shows the larger picture. A
screenshot of the page goes to WORK_DIR/report.png.
Exit 0 passed, 1 failed, 77 skipped (Chromium, chromedriver or
python3-selenium missing).
"""
import os
import shutil
import subprocess
import sys
import tempfile

probe, samples, work = sys.argv[1:4]
chromium, chromedriver = shutil.which("chromium"), shutil.which("chromedriver")
try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.support.ui import Select, WebDriverWait
except ImportError:
    webdriver = None
if not (chromium and chromedriver and webdriver):
    print("skipped: needs chromium, chromium-driver and python3-selenium")
    sys.exit(77)

os.makedirs(work, exist_ok=True)
files = {os.path.join(samples, name): verdict for name, verdict in [
    ("drawing-a4.cal", "ok"), ("blank-page.cal", "ok"), ("unusual-records.cal", "error"),
    ("archive/SCAN-0042.CG4", "ok")]}
a4 = open(os.path.join(samples, "drawing-a4.cal"), "rb").read()
scan = open(os.path.join(samples, "archive/SCAN-0042.CG4"), "rb").read()
copies = {"cut-drawing.cal": (a4[:2048 + 3000], "error"),
          "turned-scan.cal": (scan[:896] + b"rorient: 090,270".ljust(128) + scan[1024:], "ok")}
for name, (data, verdict) in copies.items():
    path = os.path.join(work, name)
    open(path, "wb").write(data)
    files[path] = verdict

failures = []


def check(name, ok, detail=""):
    print(("ok   " if ok else "FAIL ") + name + ("" if ok else ": " + str(detail)))
    if not ok:
        failures.append(name)


options = webdriver.ChromeOptions()
options.binary_location = chromium
profile = tempfile.mkdtemp(prefix="chromium-profile-", dir=work)
for argument in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--user-data-dir=" + profile, "--window-size=1400,1000"]:
    options.add_argument(argument)
options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
driver = webdriver.Chrome(service=Service(chromedriver), options=options)
wait = WebDriverWait(driver, 30)


def shown_rows():
    """Path and sort keys of the rows shown, in page order."""
    return driver.execute_script("""
        return Array.from(document.querySelectorAll('#files tbody tr')).filter(r => !r.hidden).map(r => ({
          path: r.cells[1].textContent, verdict: r.dataset.verdict, pels: parseFloat(r.cells[2].dataset.k)}));""")


def click_head(title):
    driver.find_element(By.XPATH, "//thead//th[text()='%s']" % title).click()


def check_page(page, single_file):
    mode = "single file" if single_file else "thumbnails beside"
    driver.get("file://" + os.path.abspath(os.path.join(page, "index.html")))
    images = driver.find_elements(By.CSS_SELECTOR, "#files tbody img")
    check(mode + ": a lazy thumbnail per file", len(images) == len(files) and
          all(image.get_attribute("loading") == "lazy" for image in images), len(images))
    for image in images:  # lazy: each loads once it is scrolled to
        driver.execute_script("arguments[0].scrollIntoView()", image)
        wait.until(lambda _: driver.execute_script("return arguments[0].complete", image))
    if not single_file:
        driver.execute_script("window.scrollTo(0, 0)")
        driver.save_screenshot(os.path.join(work, "report.png"))
    loaded = driver.execute_script(
        "return Array.from(document.querySelectorAll('#files tbody img')).map(i => i.naturalWidth > 0)")
    check(mode + ": every thumbnail loads", loaded and all(loaded), loaded)
    sources = [image.get_attribute("src") for image in images]
    check(mode + ": thumbnails " + ("inside the page" if single_file else "beside it"),
          all(src.startswith("data:image/png;base64," if single_file else "file:") for src in sources),
          [src[:40] for src in sources])
    fetched = driver.execute_script("return performance.getEntriesByType('resource').map(e => e.name)")
    check(mode + ": nothing from outside", all(url.startswith(("file:", "data:")) for url in fetched), fetched)

    paths = [row["path"] for row in shown_rows()]
    click_head("File")
    check(mode + ": File sorts up", [row["path"] for row in shown_rows()] == sorted(paths, key=str.lower))
    click_head("File")
    check(mode + ": File sorts down", [row["path"] for row in shown_rows()] == sorted(paths, key=str.lower)[::-1])
    click_head("Pels")
    pels = [row["pels"] for row in shown_rows()]
    check(mode + ": Pels sorts by number", pels == sorted(pels) and len(set(pels)) > 2, pels)

    verdict = Select(driver.find_element(By.ID, "verdict"))
    for wanted in ["error", "ok"]:
        verdict.select_by_value(wanted)
        check(mode + ": verdict " + wanted, sorted(row["path"] for row in shown_rows()) ==
              sorted(path for path, v in files.items() if v == wanted), shown_rows())
    verdict.select_by_value("")
    box = driver.find_element(By.ID, "filter")
    box.send_keys("FLANGE")  # the notes of the A4 drawing and its cut copy
    check(mode + ": text filter", sorted(row["path"] for row in shown_rows()) ==
          sorted(path for path in files if "drawing" in path), shown_rows())
    verdict.select_by_value("error")
    check(mode + ": text and verdict filter", [row["path"] for row in shown_rows()] ==
          [path for path in files if "cut-drawing" in path], shown_rows())
    check(mode + ": count of rows shown", driver.find_element(By.ID, "shown").text == "1 of %d shown" % len(files))
    verdict.select_by_value("")
    box.clear()
    box.send_keys(" ")
    box.clear()
    driver.execute_script("document.getElementById('filter').dispatchEvent(new Event('input'))")

    first = driver.find_element(By.CSS_SELECTOR, "#files tbody tr:not([hidden]) a.zoom")
    driver.execute_script("arguments[0].scrollIntoView()", first)
    first.click()
    wait.until(lambda _: driver.execute_script(
        "var d = document.getElementById('zoom'); return d.open && d.querySelector('img').complete"))
    width = driver.execute_script("return document.querySelector('#zoom img').naturalWidth")
    check(mode + ": a click shows the larger picture", width == (200 if single_file else 1000) or
          (width > 0 and single_file), width)
    driver.find_element(By.ID, "zoom").click()
    check(mode + ": a click closes it", not driver.execute_script("return document.getElementById('zoom').open"))

    errors = [entry for entry in driver.get_log("browser") if entry["level"] == "SEVERE"]
    check(mode + ": no console error", not errors, errors)


try:
    for single_file in [False, True]:
        page = os.path.join(work, "single-file" if single_file else "page")
        shutil.rmtree(page, ignore_errors=True)
        subprocess.run([probe, "report", page] + (["--single-file"] if single_file else []) + list(files),
                       check=True)
        check_page(page, single_file)
finally:
    driver.quit()
    shutil.rmtree(profile, ignore_errors=True)

print("%d failed" % len(failures) if failures else "all passed")
sys.exit(1 if failures else 0)
