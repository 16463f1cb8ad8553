#!/usr/bin/python3
"""The customer's review page in a real browser: Debian's headless Chromium
at a phone's 390 x 844, driven through chromedriver. The studio is made with
taoban-cli and served by taoban-cli review-serve on 127.0.0.1; the customer
taps a photo to choose it and approves a page, and both survive a reload.

    review_browser_test.py --cli TAOBAN_CLI --demo BUILD/demo [--shots DIR]

--shots writes screenshots of each step (phone and 1280 x 800) into DIR.
Exits 77 (skipped) when Chromium, chromedriver or Selenium is missing:
./scripts/test installs them, ./scripts/run never does."""

import argparse
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77
CHROMIUM = "/usr/bin/chromium"
DRIVER = "/usr/bin/chromedriver"

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.support import expected_conditions as EC
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError:
    print("skipped: python3-selenium is not installed")
    sys.exit(SKIP)


class Studio:
    """A base folder with the demo library, customer 张三 with two album
    pages, and its review served on a free port of 127.0.0.1."""

    def __init__(self, cli, demo):
        self.cli = cli
        self.dir = tempfile.mkdtemp(prefix="taoban-review-")
        self.base = os.path.join(self.dir, "studio")
        self.env = dict(os.environ, QT_QPA_PLATFORM="offscreen",
                        TAOBAN_PROFILE_DIR=os.path.join(self.dir, "profile"))
        for part in ("模板", "样片"):
            shutil.copytree(os.path.join(demo, part), os.path.join(self.base, part))
        self.run("catalogue", "add", "相册", "30", "30")
        self.run("new-customer", "张三", "--product", "相册:1:2")
        self.run("auto-pages", "张三", "--product", "相册", "--pages", "2",
                 "--photos", os.path.join(self.base, "样片"), "--seed", "1")
        self.server = subprocess.Popen(
            [cli, "--base", self.base, "review-serve", "--listen", "127.0.0.1:0"],
            env=self.env, stdout=subprocess.PIPE, text=True)
        said = self.server.stdout.readline()
        self.port = int(re.search(r"127\.0\.0\.1:(\d+)/", said).group(1))
        out = self.run("review-open", "张三", "--photos", os.path.join(self.base, "样片"),
                       "--choose", "3", "--host", "127.0.0.1:%d" % self.port)
        self.link = out.strip().splitlines()[-1]

    def run(self, *args):
        done = subprocess.run([self.cli, "--base", self.base, *args], env=self.env,
                              capture_output=True, text=True, check=False)
        if done.returncode != 0:
            raise RuntimeError("taoban-cli %s: %s %s" % (args[0], done.stdout, done.stderr))
        return done.stdout

    def status(self):
        return json.loads(self.run("review-status", "张三"))

    def close(self):
        self.server.send_signal(signal.SIGTERM)
        self.server.wait(timeout=10)
        shutil.rmtree(self.dir, ignore_errors=True)


def phone_browser():
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                 "--hide-scrollbars", "--lang=zh-CN"):
        options.add_argument(flag)
    options.add_experimental_option("mobileEmulation", {
        "deviceMetrics": {"width": 390, "height": 844, "pixelRatio": 2.0, "touch": True},
        "userAgent": "Mozilla/5.0 (Linux; Android 13) AppleWebKit/537.36 (KHTML, like Gecko) "
                     "Chrome/120 Mobile Safari/537.36"})
    return webdriver.Chrome(service=Service(DRIVER), options=options)


def desktop_browser():
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                 "--hide-scrollbars", "--lang=zh-CN"):
        options.add_argument(flag)
    browser = webdriver.Chrome(service=Service(DRIVER), options=options)
    # The page's own 1280 x 800, whatever the window around it takes.
    browser.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": 1280, "height": 800, "deviceScaleFactor": 1, "mobile": False})
    return browser


def check(condition, what):
    if not condition:
        raise AssertionError(what)


def tap(browser, element):
    """A finger's tap: the touch events a phone sends, then the click."""
    browser.execute_script(
        "const e = arguments[0]; e.scrollIntoView({block: 'center'});"
        "const r = e.getBoundingClientRect();"
        "const t = new Touch({identifier: 1, target: e, clientX: r.x + r.width / 2,"
        " clientY: r.y + r.height / 2});"
        "e.dispatchEvent(new TouchEvent('touchstart', {touches: [t], changedTouches: [t],"
        " bubbles: true}));"
        "e.dispatchEvent(new TouchEvent('touchend', {touches: [], changedTouches: [t],"
        " bubbles: true}));", element)
    element.click()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--demo", required=True)
    parser.add_argument("--shots")
    args = parser.parse_args()
    if not (os.access(CHROMIUM, os.X_OK) and os.access(DRIVER, os.X_OK)):
        print("skipped: chromium and chromium-driver are not installed")
        return SKIP

    studio = Studio(args.cli, args.demo)
    browser = phone_browser()
    shot = lambda name: args.shots and browser.save_screenshot(os.path.join(args.shots, name))
    try:
        wait = WebDriverWait(browser, 15)
        browser.get(studio.link)
        # With photos to choose, the page opens on "选片".
        grid = wait.until(EC.visibility_of_element_located((By.ID, "photo-grid")))
        wait.until(lambda b: len(grid.find_elements(By.TAG_NAME, "li")) == 8)
        check(browser.find_element(By.ID, "counter").text == "已选 0 / 3", "counter at start")
        check(browser.execute_script("return document.documentElement.scrollWidth") <= 390,
              "the page fits the phone's width")
        shot("phone-photos.png")

        tap(browser, grid.find_elements(By.TAG_NAME, "li")[1])
        wait.until(lambda b: "chosen" in grid.find_elements(By.TAG_NAME, "li")[1]
                   .get_attribute("class"))
        wait.until(lambda b: b.find_element(By.ID, "counter").text == "已选 1 / 3")
        shot("phone-photos-chosen.png")

        tap(browser, browser.find_element(By.ID, "tab-pages"))
        image = wait.until(EC.visibility_of_element_located((By.ID, "page-image")))
        wait.until(lambda b: b.execute_script(
            "return arguments[0].complete && arguments[0].naturalWidth > 0", image))
        check(browser.find_element(By.ID, "page-number").text == "第 1 / 2 版", "first page")
        check(browser.find_element(By.ID, "page-state").text == "待确认", "page open")
        tap(browser, browser.find_element(By.ID, "approve"))
        wait.until(lambda b: b.find_element(By.ID, "page-state").text == "已通过")

        # The second page: a change asked for with a pin tapped on the page.
        tap(browser, browser.find_element(By.ID, "next"))
        wait.until(lambda b: b.find_element(By.ID, "page-number").text == "第 2 / 2 版")
        tap(browser, browser.find_element(By.ID, "change"))
        browser.find_element(By.ID, "comment").send_keys("背景再亮一点")
        webdriver.ActionChains(browser).move_to_element_with_offset(
            image, image.size["width"] // 4, image.size["height"] // 4).click().perform()
        wait.until(lambda b: b.find_element(By.ID, "pin").is_displayed())
        shot("phone-page-change.png")
        tap(browser, browser.find_element(By.ID, "send-change"))
        wait.until(lambda b: b.find_element(By.ID, "page-state").text == "要求修改")

        browser.refresh()
        wait.until(lambda b: b.find_element(By.ID, "page-state").text == "要求修改")
        check(browser.find_element(By.ID, "page-comment").text == "背景再亮一点",
              "comment after reload")
        check(browser.find_element(By.ID, "pin").is_displayed(), "pin after reload")
        shot("phone-page.png")

        status = studio.status()
        check(status["chosen"] == ["样片02.jpg"], "chosen: %s" % status["chosen"])
        states = [p["state"] for p in status["pages"]]
        check(states == ["approved", "changes"], "states: %s" % states)
        pin = status["pages"][1]["pin"]
        check(pin and abs(pin[0] - 0.75) < 0.05 and abs(pin[1] - 0.75) < 0.05, "pin %s" % pin)

        if args.shots:
            desk = desktop_browser()
            try:
                desk.get(studio.link + "#photos")
                WebDriverWait(desk, 15).until(lambda b: b.execute_script(
                    "return [...document.images].every(i => i.complete)"))
                time.sleep(0.5)
                desk.save_screenshot(os.path.join(args.shots, "desktop-photos.png"))
                desk.get(studio.link + "#pages/2")
                desk.refresh()
                WebDriverWait(desk, 15).until(
                    lambda b: b.find_element(By.ID, "page-state").text == "要求修改")
                time.sleep(0.5)
                desk.save_screenshot(os.path.join(args.shots, "desktop-page.png"))
            finally:
                desk.quit()
        print("ok: chose a photo, approved a page and asked for a change by tapping")
        return 0
    finally:
        browser.quit()
        studio.close()


if __name__ == "__main__":
    sys.exit(main())
