"""Tests of the demo platform: run with  python3 -B -m unittest discover -s demo/platform"""

import http.client
import itertools
import os
import re
import socket
import ssl
import subprocess
import sys
import tempfile
import threading
import time
import unittest
from html.parser import HTMLParser
from urllib.parse import quote_plus, unquote_plus, urlencode

import server

HERE = os.path.dirname(os.path.abspath(__file__))
RETURN_TIP = "确定要返回主页吗？"
IE_MEDIA_PAGES = ["/sof/ie/Media/Exercise", "/sof/ie/Media/OldPlayer", "/sof/ie/Media/Embed",
                  "/sof/ie/Media/Wav", "/sof/ie/Media/Wmv", "/sof/ie/Media/Broken",
                  "/sof/ie/Media/Variants"]


class Elements(HTMLParser):
    """Collects the start tags of a page: (tag, attributes) in document order, and the text
    of the first <h1>."""

    def __init__(self, text):
        super().__init__()
        self.tags = []
        self.heading = None
        self._in_h1 = False
        self.feed(text)

    def handle_starttag(self, tag, attrs):
        self.tags.append((tag, dict(attrs)))
        if tag == "h1" and self.heading is None:
            self._in_h1 = True
            self.heading = ""

    def handle_endtag(self, tag):
        if tag == "h1":
            self._in_h1 = False

    def handle_data(self, data):
        if self._in_h1:
            self.heading += data

    def by_id(self, element_id):
        return [attrs for _, attrs in self.tags if attrs.get("id") == element_id]

    def all(self, tag):
        return [attrs for t, attrs in self.tags if t == tag]


def parse_set_cookie(header):
    first, *attributes = [part.strip() for part in header.split(";")]
    name, _, value = first.partition("=")
    attrs = {}
    for attribute in attributes:
        key, _, val = attribute.partition("=")
        attrs[key.lower()] = val
    return name, value, attrs


def strict_url_decode(text):
    """The client's decoder for ReturnURL: a "%" must be followed by two hex digits."""
    out = bytearray()
    i = 0
    while i < len(text):
        c = text[i]
        if c == "+":
            out.append(0x20)
        elif c == "%":
            digits = text[i + 1:i + 3]
            if not re.fullmatch(r"[0-9A-Fa-f]{2}", digits):
                raise ValueError("Invalid HEX digit in URL")
            out.append(int(digits, 16))
            i += 2
        else:
            out.extend(c.encode("utf-8"))
        i += 1
    return bytes(out)


class ServerTestCase(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.log_path = os.path.join(cls.tmp.name, "requests.log")
        cls.server = server.make_server("127.0.0.1", 0, request_log=cls.log_path)
        cls.port = cls.server.server_address[1]
        cls.origin = f"http://127.0.0.1:{cls.port}"
        cls.thread = threading.Thread(target=cls.server.serve_forever, daemon=True)
        cls.thread.start()

    @classmethod
    def tearDownClass(cls):
        cls.server.shutdown()
        cls.server.server_close()
        cls.thread.join(timeout=10)
        cls.tmp.cleanup()

    def request(self, path, method="GET", body=None, headers=None, timeout=15):
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=timeout)
        try:
            connection.request(method, path, body=body, headers=headers or {})
            response = connection.getresponse()
            data = response.read()
            return response, data.decode("utf-8")
        finally:
            connection.close()

    def cookies(self, response):
        return {name: (value, attrs) for name, value, attrs in
                map(parse_set_cookie, response.headers.get_all("Set-Cookie") or [])}

    def log_lines(self):
        with open(self.log_path, encoding="utf-8") as f:
            return f.read().splitlines()

    def wait_for_log_line(self, line, seconds=5):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if line in self.log_lines():
                return True
            time.sleep(0.05)
        return line in self.log_lines()


class PortalTests(ServerTestCase):
    def test_root_redirects_to_the_log_in_page(self):
        response, _ = self.request("/")
        self.assertEqual(response.status, 302)
        self.assertEqual(response.headers["Location"], "/Home/Home/Index")

    def test_home_folder_redirects_to_the_log_in_page(self):
        for path in ("/Home", "/Home/"):
            with self.subTest(path=path):
                response, _ = self.request(path)
                self.assertEqual(response.status, 302)
                self.assertEqual(response.headers["Location"], "/Home/Home/Index")

    def test_log_in_page_has_the_form(self):
        response, text = self.request("/Home/Home/Index")
        self.assertEqual(response.status, 200)
        page = Elements(text)
        forms = page.all("form")
        self.assertEqual(len(forms), 1)
        self.assertEqual(forms[0]["method"], "post")
        self.assertEqual(forms[0]["action"], "/Home/Home/Index")
        names = {attrs.get("name") for attrs in page.all("input")}
        self.assertTrue({"username", "password"} <= names)
        self.assertNotIn("Set-Cookie", response.headers)

    def log_in(self, username, password):
        return self.request("/Home/Home/Index", method="POST",
                            body=urlencode({"username": username, "password": password}),
                            headers={"Content-Type": "application/x-www-form-urlencoded"})

    def test_log_in_sets_the_user_cookie_and_goes_to_main(self):
        response, _ = self.log_in("张三", "secret")
        self.assertEqual(response.status, 302)
        self.assertEqual(response.headers["Location"], "/Home/Home/Main")
        value, attrs = self.cookies(response)["username"]
        self.assertEqual(unquote_plus(value), "张三")
        self.assertEqual(attrs.get("path"), "/")

    def test_log_in_with_an_empty_field_stays_on_the_form(self):
        for username, password in (("", "secret"), ("student", ""), ("   ", "secret")):
            with self.subTest(username=username, password=password):
                response, text = self.log_in(username, password)
                self.assertEqual(response.status, 200)
                self.assertNotIn("Set-Cookie", response.headers)
                self.assertIn("请输入用户名和密码", text)

    def test_main_greets_the_user_with_escaped_name(self):
        cookie = "username=" + quote_plus("<b>李四</b>")
        _, text = self.request("/Home/Home/Main", headers={"Cookie": cookie})
        self.assertIn("&lt;b&gt;李四&lt;/b&gt;", text)
        self.assertNotIn("<b>李四", text)

    def test_main_links_to_every_section(self):
        _, text = self.request("/Home/Home/Main")
        links = {attrs["href"] for attrs in Elements(text).all("a")}
        for path in ("/sof/Lesson/Index", "/home/Home/EnglishTest",
                     "/home/Home/EnglishTest?type=assist", "/home/Home/WordChoose/1",
                     "/english/wq2009/LiseningTest/Index", "/SofWeb/Reading", "/ReadAssist/Index",
                     "/sof/Frames/DatePicker", "/sof/Frames/SyncTime", "/Home/Logout",
                     "/sof/Stress/LargeCookies", "/sof/Stress/CommandFlood"):
            self.assertIn(path, links)

    def test_logout_accepts_a_query_and_clears_the_user_cookie(self):
        for path in ("/Home/Logout?1234", "/Home/Logout", "/home/logout?0",
                     "/Home/Home/Logout?9998"):
            with self.subTest(path=path):
                response, text = self.request(path, headers={"Cookie": "username=student"})
                self.assertEqual(response.status, 200)
                value, attrs = self.cookies(response)["username"]
                self.assertEqual(value, "")
                self.assertEqual(attrs.get("max-age"), "0")
                self.assertIn("/Home/Home/Index",
                              {attrs["href"] for attrs in Elements(text).all("a")})

    def test_find_password_echoes_the_address(self):
        _, text = self.request("/Home/Home/FindPassword?email=a%40b.cn")
        self.assertIn("a@b.cn", text)

    def test_profile_shows_the_user(self):
        _, text = self.request("/Home/Home/BaseInfo", headers={"Cookie": "username=wang"})
        self.assertIn("wang", text)


class ReturnCookieTests(ServerTestCase):
    def return_cookies(self, path):
        response, text = self.request(path)
        self.assertEqual(response.status, 200)
        cookies = self.cookies(response)
        for name, (value, attrs) in cookies.items():
            # Readable by the page's script, and a valid cookie value as sent.
            self.assertNotIn("httponly", attrs)
            self.assertEqual(attrs.get("path"), "/")
            self.assertRegex(value, r"^[A-Za-z0-9%+._\-*]*$", name)
        return cookies, text

    def test_return_tip_decodes_twice_to_the_chinese_text(self):
        for path in ("/sof/Return/Main", "/sof/Lesson/Index", "/sof/Return/Hidden"):
            with self.subTest(path=path):
                cookies, _ = self.return_cookies(path)
                value, _ = cookies["ReturnTip"]
                once = unquote_plus(value)
                self.assertNotEqual(once, RETURN_TIP)
                self.assertEqual(unquote_plus(once), RETURN_TIP)
                # The client's lenient decoder drops escapes of byte 0 and turns "+" into a
                # space first; the bytes it ends with must be the UTF-8 of the text.
                twice = strict_url_decode(strict_url_decode(value).decode("ascii"))
                self.assertEqual(twice.decode("utf-8"), RETURN_TIP)

    def test_return_url_decodes_once_to_the_home_page(self):
        for path in ("/sof/Return/Main", "/sof/Return/NoTip", "/sof/Lesson/Index"):
            with self.subTest(path=path):
                cookies, _ = self.return_cookies(path)
                value, _ = cookies["ReturnURL"]
                self.assertEqual(strict_url_decode(value).decode("ascii"),
                                 self.origin + "/Home/Home/Main")

    def test_return_without_tip_sends_an_empty_tip(self):
        cookies, _ = self.return_cookies("/sof/Return/NoTip")
        value, attrs = cookies["ReturnTip"]
        self.assertEqual(value, "")
        self.assertNotIn("max-age", attrs)

    def test_return_url_with_a_query(self):
        cookies, _ = self.return_cookies("/sof/Return/WithQuery")
        url = strict_url_decode(cookies["ReturnURL"][0]).decode("ascii")
        self.assertEqual(url, self.origin + "/sof/Lesson/Index?from=return")

    def test_return_url_ending_in_a_question_mark(self):
        cookies, _ = self.return_cookies("/sof/Return/EndsWithQuestion")
        url = strict_url_decode(cookies["ReturnURL"][0]).decode("ascii")
        self.assertEqual(url, self.origin + "/sof/Lesson/Index?")

    def test_return_url_of_blanks_only(self):
        cookies, _ = self.return_cookies("/sof/Return/Blank")
        url = strict_url_decode(cookies["ReturnURL"][0]).decode("ascii")
        self.assertNotEqual(url, "")
        self.assertEqual(url.strip(), "")

    def test_malformed_return_url_fails_the_strict_decoder(self):
        cookies, _ = self.return_cookies("/sof/Return/Malformed")
        self.assertEqual(cookies["ReturnURL"][0], "%zz")
        self.assertNotIn("ReturnTip", cookies)
        with self.assertRaisesRegex(ValueError, "Invalid HEX digit in URL"):
            strict_url_decode(cookies["ReturnURL"][0])

    def test_clear_removes_both_cookies(self):
        cookies, _ = self.return_cookies("/sof/Return/Clear")
        for name in ("ReturnURL", "ReturnTip"):
            value, attrs = cookies[name]
            self.assertEqual(value, "")
            self.assertEqual(attrs.get("max-age"), "0")

    def test_custom_return_address(self):
        query = urlencode({"url": "http://127.0.0.1:1/x?y=1", "tip": "真的要走吗？"})
        cookies, _ = self.return_cookies("/sof/Return/Set?" + query)
        self.assertEqual(unquote_plus(cookies["ReturnURL"][0]), "http://127.0.0.1:1/x?y=1")
        self.assertEqual(unquote_plus(unquote_plus(cookies["ReturnTip"][0])), "真的要走吗？")

    def test_custom_return_address_without_tip_leaves_the_tip(self):
        cookies, _ = self.return_cookies("/sof/Return/Set?url=abc")
        self.assertEqual(cookies["ReturnURL"][0], "abc")
        self.assertNotIn("ReturnTip", cookies)

    def test_raw_return_cookies_arrive_as_given(self):
        # The query is percent-encoded once, so "%25" stands for a "%" in the cookie.
        cases = [
            ("url=%25zz", "%zz", None),
            ("url=http%253A%252F%252Fx%25", "http%3A%2F%2Fx%", None),
            ("tip=%25zz%2525E7%25", None, "%zz%25E7%"),
            ("url=a%2Bb&tip=", "a+b", ""),
        ]
        for query, url, tip in cases:
            with self.subTest(query=query):
                cookies, text = self.return_cookies("/sof/Return/Raw?" + query)
                self.assertEqual(cookies.get("ReturnURL", (None,))[0], url)
                self.assertEqual(cookies.get("ReturnTip", (None,))[0], tip)
                shown = Elements(text)
                self.assertEqual(len(shown.by_id("returnUrl")), 1)

    def test_raw_return_cookies_refuse_what_no_cookie_can_hold(self):
        for query in ("", "other=1", "url=a%3Bb", "url=a%20b", "tip=%3Cb%3E", "url=x&tip=%22"):
            with self.subTest(query=query):
                response, _ = self.request("/sof/Return/Raw?" + query)
                self.assertEqual(response.status, 400)
                self.assertNotIn("Set-Cookie", response.headers)

    def test_custom_return_address_needs_a_url(self):
        response, _ = self.request("/sof/Return/Set")
        self.assertEqual(response.status, 400)
        self.assertNotIn("Set-Cookie", response.headers)

    def test_only_the_hidden_page_has_show_return_btn(self):
        _, text = self.return_cookies("/sof/Return/Hidden")
        self.assertEqual(len(Elements(text).by_id("showReturnBtn")), 1)
        for path in ("/sof/Return/Main", "/sof/Lesson/Index", "/Home/Home/Main",
                     "/sof/Lesson/Unit1"):
            with self.subTest(path=path):
                _, text = self.request(path)
                self.assertEqual(Elements(text).by_id("showReturnBtn"), [])

    def test_stress_pages_set_return_cookies_of_their_own(self):
        cases = [
            ("/sof/Stress/LargeCookies", "/sof/Lesson/Index?from=large-cookies",
             server.LARGE_COOKIES_TIP),
            ("/sof/Stress/CommandFlood", "/Home/Home/Main", RETURN_TIP),
        ]
        for path, url, tip in cases:
            with self.subTest(path=path):
                cookies, _ = self.return_cookies(path)
                self.assertEqual(strict_url_decode(cookies["ReturnURL"][0]).decode("ascii"),
                                 self.origin + url)
                self.assertEqual(unquote_plus(unquote_plus(cookies["ReturnTip"][0])), tip)

    def test_pages_outside_the_return_pages_leave_the_cookies_alone(self):
        for path in ("/sof/Lesson/Unit1", "/sof/Lesson/Unit2", "/Home/Home/Main",
                     "/home/Home/EnglishTest"):
            with self.subTest(path=path):
                response, _ = self.request(path)
                self.assertNotIn("Set-Cookie", response.headers)


class LearningPageTests(ServerTestCase):
    PAGES = [
        "/Home/Home/Index", "/Home/Home/Main", "/Home/Logout?1", "/Home/Home/FindPassword",
        "/Home/Home/Introduce", "/Home/Home/BaseInfo", "/sof/Lesson/Index", "/sof/Lesson/Unit1",
        "/sof/Lesson/Unit2", "/sof/Lesson/Unit3", "/sof/Lesson/Record?unit=2",
        "/home/Home/EnglishTest", "/home/Home/EnglishTest?type=assist",
        "/home/Home/WordChoose/1", "/home/Home/WordChoose/3",
        "/english/wq2009/LiseningTest/Index", "/SofWeb/Reading", "/ReadAssist/Index",
        "/sof/Frames/DatePicker", "/My97DatePicker/My97DatePicker.htm", "/sof/Frames/SyncTime",
        "/Home/SyncronizeUserTime", "/sof/Return/Main", "/sof/Return/NoTip",
        "/sof/Return/WithQuery", "/sof/Return/EndsWithQuestion", "/sof/Return/Blank",
        "/sof/Return/Malformed", "/sof/Return/Clear", "/sof/Return/Hidden",
        "/sof/Return/Set?url=x", "/sof/Return/Raw?url=x", "/sof/Stress/LargeCookies",
        "/sof/Stress/CommandFlood", "/bench/Loads?left=3", "/bench/Commands?count=5",
        "/slow?ms=0", "/sof/ie/Index", *IE_MEDIA_PAGES, "/sof/IE/Events", "/sof/IE/Quiz",
        "/sof/IE/SmallCalls",
    ]

    def test_every_page_is_utf8_html_with_a_heading_and_no_caching(self):
        headings = {}
        for path in self.PAGES:
            with self.subTest(path=path):
                response, text = self.request(path)
                self.assertEqual(response.status, 200)
                self.assertEqual(response.headers["Content-Type"], "text/html; charset=utf-8")
                self.assertEqual(response.headers["Cache-Control"], "no-store")
                self.assertIn('<meta charset="utf-8">', text)
                self.assertNotIn("${", text)
                heading = Elements(text).heading
                self.assertTrue(heading and heading.strip(), "no visible heading")
                # Screenshots tell the pages apart by their heading.
                self.assertNotIn(heading, headings, f"same heading as {headings.get(heading)}")
                headings[heading] = path

    def test_paths_ignore_letter_case(self):
        for path in ("/HOME/HOME/MAIN", "/Home/Home/EnglishTest", "/sof/lesson/unit1"):
            with self.subTest(path=path):
                response, _ = self.request(path)
                self.assertEqual(response.status, 200)

    def test_listening_test_keeps_the_platform_spelling(self):
        self.assertEqual(self.request("/english/wq2009/LiseningTest/Index")[0].status, 200)
        self.assertEqual(self.request("/english/wq2009/ListeningTest/Index")[0].status, 404)

    def test_listening_test_shows_the_submitted_answer(self):
        _, text = self.request("/english/wq2009/LiseningTest/Index?answer=I+like+it")
        self.assertIn("I like it", text)
        form = Elements(text).all("form")[0]
        self.assertEqual(form["action"], "/english/wq2009/LiseningTest/Index")

    def test_english_test_modes_differ(self):
        _, plain = self.request("/home/Home/EnglishTest")
        _, assist = self.request("/home/Home/EnglishTest?type=assist")
        self.assertNotEqual(Elements(plain).heading, Elements(assist).heading)

    def test_word_choice_outside_the_questions_is_missing(self):
        for path in ("/home/Home/WordChoose/0", "/home/Home/WordChoose/99",
                     "/home/Home/WordChoose/x"):
            with self.subTest(path=path):
                self.assertEqual(self.request(path)[0].status, 404)

    def hidden_link(self, path):
        _, text = self.request(path)
        links = Elements(text).by_id("hiddenLink")
        self.assertEqual(len(links), 1, path)
        return links[0]

    def test_hidden_links_lead_to_a_page(self):
        for path in ("/sof/Lesson/Unit2", "/sof/Lesson/Unit3", "/home/Home/EnglishTest",
                     "/home/Home/EnglishTest?type=assist"):
            with self.subTest(path=path):
                link = self.hidden_link(path)
                self.assertTrue(link["href"].startswith("/"))
                self.assertEqual(self.request(link["href"])[0].status, 200)

    def test_hidden_links_tell_apart_where_they_came_from(self):
        targets = {self.hidden_link(path)["href"] for path in
                   ("/sof/Lesson/Unit2", "/sof/Lesson/Unit3", "/home/Home/EnglishTest",
                    "/home/Home/EnglishTest?type=assist")}
        self.assertEqual(len(targets), 4)

    def test_only_unit3_has_its_own_click_handler(self):
        own = self.hidden_link("/sof/Lesson/Unit3").get("onclick", "")
        self.assertIn("return false", own)
        self.assertNotIn("onclick", self.hidden_link("/sof/Lesson/Unit2"))

    def test_command_buttons_are_guarded(self):
        _, text = self.request("/sof/Lesson/Unit1")
        calls = [attrs.get("onclick", "") for attrs in Elements(text).all("button")]
        for expected in ("sendCommand('enableBackBtn', 'false')",
                         "sendCommand('enableBackBtn', 'true')",
                         "sendCommand('enableBackBtn', 'False')"):
            self.assertIn(expected, calls)
        guard = re.search(r"function sendCommand\(command, params\) \{(.*?)\n\}", text, re.S)
        self.assertIsNotNone(guard)
        self.assertRegex(guard.group(1), r"if \(typeof SendClientCommand === 'function'\) \{"
                                         r"[^}]*SendClientCommand\(command, params\);")

    def test_flood_button_is_guarded(self):
        _, text = self.request("/sof/Stress/CommandFlood")
        self.assertEqual(Elements(text).by_id("flood")[0].get("onclick"), "flood(1000)")
        guard = re.search(r"function flood\(count\) \{(.*?)\n\}", text, re.S)
        self.assertIsNotNone(guard)
        self.assertRegex(guard.group(1), r"if \(typeof SendClientCommand !== 'function'\) \{"
                                         r"[^}]*return;")

    def test_date_picker_page_has_both_frames(self):
        _, text = self.request("/sof/Frames/DatePicker")
        sources = [attrs.get("src") for attrs in Elements(text).all("iframe")]
        self.assertIn("/My97DatePicker/My97DatePicker.htm", sources)
        self.assertIn("about:blank", sources)

    def test_sync_page_has_the_sync_frame(self):
        _, text = self.request("/sof/Frames/SyncTime")
        sources = [attrs.get("src") for attrs in Elements(text).all("iframe")]
        self.assertEqual(sources, ["/Home/SyncronizeUserTime"])

    def test_page_numbers_grow(self):
        numbers = []
        for _ in range(2):
            _, text = self.request("/SofWeb/Reading")
            numbers.append(int(re.search(r"No\. (\d+)", text).group(1)))
        self.assertLess(numbers[0], numbers[1])


class BenchTests(ServerTestCase):
    def test_bench_entry_starts_the_page_loads(self):
        for path in ("/bench", "/bench/", "/BENCH/"):
            with self.subTest(path=path):
                response, _ = self.request(path)
                self.assertEqual(response.status, 302)
                self.assertEqual(response.headers["Location"],
                                 server.bench_loads_path(server.BENCH_PAGE_LOADS))

    def test_page_loads_take_the_two_skins_by_turns_of_two_then_the_commands(self):
        chain = []
        path = server.bench_loads_path(server.BENCH_PAGE_LOADS)
        while "/Loads?" in path:
            _, text = self.request(path)
            link = Elements(text).by_id("next")
            self.assertEqual(len(link), 1, path)
            chain.append(path)
            path = link[0]["href"]
        self.assertEqual(path, f"/bench/Commands?count={server.BENCH_COMMANDS}")
        self.assertEqual(len(chain), server.BENCH_PAGE_LOADS + 1)
        inner = [p.startswith("/sof/") for p in chain]
        runs = [len(list(group)) for _, group in itertools.groupby(inner)]
        self.assertEqual(runs[:-1], [2] * (len(runs) - 1))
        self.assertIn(runs[-1], (1, 2))

    def test_next_page_counts_down(self):
        cases = [(20, "/sof/Bench/Loads?left=19"), (19, "/bench/Loads?left=18"),
                 (17, "/sof/Bench/Loads?left=16"), (2, "/bench/Loads?left=1"),
                 (1, "/sof/Bench/Loads?left=0"),
                 (0, f"/bench/Commands?count={server.BENCH_COMMANDS}")]
        for left, expected in cases:
            with self.subTest(left=left):
                self.assertEqual(server.bench_next_page(left), expected)

    def test_bench_pages_bound_their_numbers(self):
        cases = [("/bench/Loads?left=-4", "0 left"), ("/bench/Loads?left=99999", "1000 left"),
                 ("/bench/Commands?count=0", "var count = 1;"),
                 ("/bench/Commands?count=5000", "var count = 1000;"),
                 ("/bench/Commands", f"var count = {server.BENCH_COMMANDS};")]
        for path, expected in cases:
            with self.subTest(path=path):
                response, text = self.request(path)
                self.assertEqual(response.status, 200)
                self.assertIn(expected, text)

    def test_bench_pages_refuse_garbage(self):
        for path in ("/bench/Loads?left=x", "/bench/Loads?left=1.5", "/bench/Commands?count="):
            with self.subTest(path=path):
                self.assertEqual(self.request(path)[0].status, 400)


class PlumbingTests(ServerTestCase):
    def test_new_windows_page_reports_each_open_to_the_site(self):
        _, text = self.request("/sof/Windows/Open")
        self.assertIn('id="openLesson"', text)
        self.assertIn("fetch('/sof/Windows/Opened')", text)
        response, text = self.request("/sof/Windows/Opened")
        self.assertEqual(response.status, 204)
        self.assertEqual(text, "")

    def test_unknown_paths_are_404_pages(self):
        for path in ("/no/such/page", "/Home/Home/Nothing", "/favicon.ico"):
            with self.subTest(path=path):
                response, text = self.request(path)
                self.assertEqual(response.status, 404)
                self.assertEqual(response.headers["Cache-Control"], "no-store")
                self.assertIn("页面不存在", text)

    def test_redirect(self):
        response, _ = self.request("/redirect")
        self.assertEqual(response.status, 302)
        self.assertEqual(response.headers["Location"], "/Home/Home/Main")
        self.assertEqual(response.headers["Cache-Control"], "no-store")
        response, _ = self.request("/redirect?to=/sof/Lesson/Unit1")
        self.assertEqual(response.headers["Location"], "/sof/Lesson/Unit1")

    def test_redirect_stays_on_this_site(self):
        for target in ("//example.com/", "http://example.com/", "example.com", "/\\example.com"):
            with self.subTest(target=target):
                response, _ = self.request("/redirect?" + urlencode({"to": target}))
                self.assertEqual(response.status, 400)
                self.assertIsNone(response.headers["Location"])

    def test_slow_page_waits(self):
        started = time.monotonic()
        response, text = self.request("/slow?ms=400")
        self.assertGreaterEqual(time.monotonic() - started, 0.4)
        self.assertEqual(response.status, 200)
        self.assertIn(">400<", text)

    def test_slow_page_refuses_garbage(self):
        for query in ("ms=abc", "ms=", "ms=1.5"):
            with self.subTest(query=query):
                self.assertEqual(self.request("/slow?" + query)[0].status, 400)

    def test_slow_delay_is_bounded(self):
        self.assertEqual(server.slow_delay_ms("250"), 250)
        self.assertEqual(server.slow_delay_ms("999999"), 10_000)
        self.assertEqual(server.slow_delay_ms("10001"), 10_000)
        self.assertEqual(server.slow_delay_ms("-5"), 0)
        self.assertIsNone(server.slow_delay_ms("9" * 40))

    def test_bounded_number(self):
        cases = [("7", 7), (" 7 ", 7), ("-3", 1), ("12", 10), ("10", 10), ("1", 1),
                 ("", None), ("x", None), ("1e3", None), (None, None)]
        for value, expected in cases:
            with self.subTest(value=value):
                self.assertEqual(server.bounded_number(value, 1, 10), expected)

    def test_post_elsewhere_is_not_allowed(self):
        response, _ = self.request("/Home/Home/Main", method="POST", body="a=1",
                                   headers={"Content-Type": "application/x-www-form-urlencoded"})
        self.assertEqual(response.status, 405)

    def test_head_sends_no_body(self):
        response, text = self.request("/Home/Home/Main", method="HEAD")
        self.assertEqual(response.status, 200)
        self.assertEqual(text, "")
        self.assertGreater(int(response.headers["Content-Length"]), 0)

    def test_request_log_has_one_line_per_request(self):
        self.request("/Home/Logout?123")
        self.request("/home/Home/EnglishTest?type=assist")
        self.request("/Home/Home/Index", method="POST", body="username=a&password=b",
                     headers={"Content-Type": "application/x-www-form-urlencoded"})
        lines = self.log_lines()
        for line in ("GET /Home/Logout?123", "GET /home/Home/EnglishTest?type=assist",
                     "POST /Home/Home/Index"):
            self.assertIn(line, lines)
        for line in lines:
            self.assertRegex(line, r"^(GET|HEAD|POST) /\S*$")

    def test_request_log_line_is_written_before_the_answer(self):
        finished = threading.Event()

        def slow_request():
            try:
                self.request("/slow?ms=2000&marker=early")
            finally:
                finished.set()

        thread = threading.Thread(target=slow_request)
        thread.start()
        try:
            self.assertTrue(self.wait_for_log_line("GET /slow?ms=2000&marker=early", seconds=1.5))
            self.assertFalse(finished.is_set())
        finally:
            thread.join(timeout=15)


class HostTests(unittest.TestCase):
    def test_loopback_hosts_are_accepted(self):
        self.assertEqual(server.check_loopback_host("127.0.0.1"), "127.0.0.1")
        self.assertEqual(server.check_loopback_host("127.0.0.2"), "127.0.0.2")
        self.assertEqual(server.check_loopback_host("::1"), "::1")
        self.assertEqual(server.check_loopback_host("localhost"), "127.0.0.1")

    def test_other_hosts_are_refused(self):
        for host in ("0.0.0.0", "::", "192.168.1.10", "8.8.8.8", "example.com", ""):
            with self.subTest(host=host):
                with self.assertRaises(ValueError):
                    server.make_server(host, 0)

    def run_server(self, *arguments):
        return subprocess.Popen([sys.executable, "-B", os.path.join(HERE, "server.py"),
                                 *arguments], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                text=True)

    def test_command_line_refuses_a_public_host(self):
        with tempfile.TemporaryDirectory() as tmp:
            log = os.path.join(tmp, "requests.log")
            process = self.run_server("--host", "0.0.0.0", "--port", "0", "--request-log", log)
            try:
                out, err = process.communicate(timeout=20)
            finally:
                if process.poll() is None:
                    process.kill()
                    process.wait(timeout=10)
            self.assertNotEqual(process.returncode, 0)
            self.assertIn("loopback", err)
            self.assertEqual(out, "")
            self.assertFalse(os.path.exists(log))

    def test_command_line_serves_and_logs(self):
        with tempfile.TemporaryDirectory() as tmp:
            log = os.path.join(tmp, "requests.log")
            process = self.run_server("--port", "0", "--request-log", log)
            try:
                first_line = process.stdout.readline()
                match = re.search(r"http://127\.0\.0\.1:(\d+)/", first_line)
                self.assertIsNotNone(match, first_line)
                connection = http.client.HTTPConnection("127.0.0.1", int(match.group(1)),
                                                        timeout=15)
                connection.request("GET", "/Home/Logout?77")
                self.assertEqual(connection.getresponse().status, 200)
                connection.close()
                with open(log, encoding="utf-8") as f:
                    self.assertEqual(f.read(), "GET /Home/Logout?77\n")
            finally:
                process.terminate()
                try:
                    process.communicate(timeout=10)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.communicate(timeout=10)


class RealSiteTests(ServerTestCase):
    def test_other_origin_swaps_the_loopback_names(self):
        cases = [("http://127.0.0.1:8731", "http://localhost:8731"),
                 ("http://localhost:8731", "http://127.0.0.1:8731"),
                 ("http://[::1]:80", "http://localhost:80")]
        for origin, other in cases:
            self.assertEqual(server.other_origin(origin), other, origin)

    def test_external_links_frame_comes_from_the_other_origin(self):
        response, body = self.request("/sof/Links/External")
        self.assertEqual(response.status, 200)
        self.assertIn(f'src="http://localhost:{self.port}/sof/Links/ExternalFrame"', body)
        self.assertIn('href="ssh://student@lab.example/"', body)

    def test_escaped_path_is_its_own_page(self):
        response, body = self.request("/sof/lesson%20two?unit=%E4%B8%AD")
        self.assertEqual(response.status, 200)
        self.assertIn('<span id="unit">中</span>', body)

    def test_note_post_redirects_back_to_its_page_with_the_note(self):
        response, _ = self.request("/sof/Forms/Note", method="POST", body="note=hello+world",
                                   headers={"Content-Type": "application/x-www-form-urlencoded"})
        self.assertEqual(response.status, 303)
        self.assertEqual(response.headers["Location"], "/sof/Forms/Note")
        value, _ = self.cookies(response)["note"]
        _, body = self.request("/sof/Forms/Note", headers={"Cookie": f"note={value}"})
        self.assertIn('<span id="savedNote">hello world</span>', body)

    def test_remember_sets_a_persistent_cookie_and_shows_the_one_received(self):
        response, _ = self.request("/sof/Cookies/Remember?value=kept-1")
        value, attrs = self.cookies(response)["remember"]
        self.assertEqual(value, "kept-1")
        self.assertEqual(attrs["max-age"], str(server.REMEMBER_SECONDS))
        _, body = self.request("/sof/Cookies/Remember", headers={"Cookie": "remember=kept-1"})
        self.assertIn('<span id="remembered">kept-1</span>', body)
        response, _ = self.request("/sof/Cookies/Remember?value=%3Cb%3E")
        self.assertEqual(response.status, 400)

    def test_tone_is_a_wav_file(self):
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=15)
        try:
            connection.request("GET", "/media/tone.wav")
            response = connection.getresponse()
            data = response.read()
        finally:
            connection.close()
        self.assertEqual(response.headers["Content-Type"], "audio/wav")
        self.assertEqual(data[:4], b"RIFF")
        self.assertEqual(data[8:12], b"WAVE")
        self.assertGreater(len(data), 16000 * 2)


class FlashTests(ServerTestCase):
    def get_bytes(self, path):
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=15)
        try:
            connection.request("GET", path)
            response = connection.getresponse()
            return response, response.read()
        finally:
            connection.close()

    def test_lesson_movie_is_a_flash_movie(self):
        response, data = self.get_bytes("/media/lesson.swf")
        self.assertEqual(response.status, 200)
        self.assertEqual(response.headers["Content-Type"], "application/x-shockwave-flash")
        self.assertEqual(data[:3], b"FWS")
        self.assertEqual(int.from_bytes(data[4:8], "little"), len(data))

    def test_flash_pages_hold_the_movie_beside_a_link_and_a_button(self):
        cases = [
            ("/sof/Flash/Embed", '<embed id="movie" src="/media/lesson.swf"',
             'width="320" height="160"'),
            ("/sof/Flash/Object", '<param name="movie" value="/media/lesson.swf">',
             'width="320" height="160"'),
            ("/sof/Flash/Later", '<template id="laterMovie"><embed id="movie"',
             'width="320" height="160"'),
        ]
        for path, movie, size in cases:
            response, body = self.request(path)
            self.assertEqual(response.status, 200, path)
            self.assertIn(movie, body, path)
            self.assertIn(size, body, path)
            self.assertIn('id="unitLink" href="/sof/Lesson/Unit1"', body, path)
            self.assertIn('id="countButton"', body, path)

    def test_the_flash_frame_comes_from_the_other_origin(self):
        _, body = self.request("/sof/Flash/OtherFrame")
        self.assertIn(f'src="http://localhost:{self.port}/sof/Flash/Frame"', body)
        _, frame = self.request("/sof/Flash/Frame")
        self.assertIn('<embed id="movie" src="/media/lesson.swf"', frame)


class OldBrowserPageTests(ServerTestCase):
    def test_the_index_links_to_each_page(self):
        _, body = self.request("/sof/IE/Index")
        links = [attrs["href"] for attrs in Elements(body).all("a")]
        for path in ("/sof/IE/Events", "/sof/IE/Quiz", "/sof/IE/SmallCalls"):
            self.assertIn(path, links)

    def test_the_pages_attach_their_handlers_in_the_head(self):
        for path in ("/sof/IE/Events", "/sof/IE/Quiz", "/sof/IE/SmallCalls"):
            with self.subTest(path=path):
                _, body = self.request(path)
                head = body.split("</head>")[0]
                self.assertIn('window.attachEvent("onload"', head)

    def test_questions_come_as_plain_text_lines(self):
        cases = [("1", 200, "Which word means \"happy\"?\nA. sad\nB. glad\nC. angry"),
                 ("2", 200, "Choose the past tense of \"go\".\nA. goed\nB. gone\nC. went"),
                 ("3", 404, "no such question"), ("0", 404, "no such question"),
                 ("x", 404, "no such question")]
        for number, status, text in cases:
            with self.subTest(number=number):
                response, body = self.request(f"/sof/IE/Question?n={number}")
                self.assertEqual(response.status, status)
                self.assertEqual(response.headers["Content-Type"], "text/plain; charset=utf-8")
                self.assertEqual(body, text)

    def test_answers_come_back_as_xml_verdicts(self):
        cases = [("1", "B", "正确", "10"), ("1", "a", "错误", "0"), ("2", "c", "正确", "10"),
                 ("2", "", "错误", "0")]
        for number, choice, verdict, score in cases:
            with self.subTest(number=number, choice=choice):
                response, body = self.request(f"/sof/IE/Answer?n={number}&choice={choice}")
                self.assertEqual(response.status, 200)
                self.assertEqual(response.headers["Content-Type"], "text/xml; charset=utf-8")
                self.assertIn(f"<verdict>{verdict}</verdict>", body)
                self.assertIn(f"<score>{score}</score>", body)
                self.assertTrue(body.startswith('<?xml version="1.0" encoding="utf-8"?><result '))

    def test_an_answer_to_no_question_is_missing(self):
        response, body = self.request("/sof/IE/Answer?n=7&choice=A")
        self.assertEqual(response.status, 404)
        self.assertIn("<error>", body)

    def test_the_word_list_is_xml(self):
        response, body = self.request("/sof/IE/Words.xml")
        self.assertEqual(response.headers["Content-Type"], "text/xml; charset=utf-8")
        self.assertEqual(body.count("<word "), 5)

    def test_frames_take_a_plain_name(self):
        cases = [("notes", 200), ("tips", 200), ("a%3Cb", 400), ("", 400)]
        for name, status in cases:
            with self.subTest(name=name):
                response, body = self.request(f"/sof/IE/Frame?name={name}")
                self.assertEqual(response.status, status)
                if status == 200:
                    self.assertIn(f'<p id="frameName">{name}</p>', body)


class IeMediaTests(ServerTestCase):

    def fetch_bytes(self, path, headers=None):
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=15)
        try:
            connection.request("GET", path, headers=headers or {})
            response = connection.getresponse()
            return response, response.read()
        finally:
            connection.close()

    def test_media_files_have_the_old_servers_types(self):
        cases = [("/media/ie/exercise1.wma", "audio/x-ms-wma"),
                 ("/media/ie/exercise2.wma", "audio/x-ms-wma"),
                 ("/media/ie/tone.wma", "audio/x-ms-wma"),
                 ("/media/ie/Tone.WMA", "audio/x-ms-wma"),
                 ("/media/ie/lesson.wmv", "video/x-ms-wmv"),
                 ("/media/ie/broken.wma", "audio/x-ms-wma")]
        # Every Windows Media file starts with the ASF header object's identifier.
        asf_header = bytes.fromhex("3026b2758e66cf11a6d900aa0062ce6c")
        for path, content_type in cases:
            with self.subTest(path=path):
                response, data = self.fetch_bytes(path)
                self.assertEqual(response.status, 200)
                self.assertEqual(response.headers["Content-Type"], content_type)
                self.assertTrue(data.startswith(asf_header))
                self.assertLess(len(data), 60 * 1024)

    def test_the_broken_file_is_the_first_half_of_a_listening_file(self):
        _, whole = self.fetch_bytes("/media/ie/exercise1.wma")
        _, broken = self.fetch_bytes("/media/ie/broken.wma")
        self.assertEqual(broken, whole[:len(whole) // 2])

    def test_byte_range(self):
        cases = [(None, 100, None), ("", 100, None), ("bytes=0-9", 100, (0, 9)),
                 ("bytes=90-", 100, (90, 99)), ("bytes=90-200", 100, (90, 99)),
                 ("bytes=-10", 100, (90, 99)), ("bytes=-200", 100, (0, 99)),
                 ("bytes=-0", 100, None), ("bytes=100-", 100, None), ("bytes=9-3", 100, None),
                 ("bytes=0-1,5-6", 100, None), ("items=0-9", 100, None), ("bytes=-", 100, None),
                 ("bytes=0-", 0, None)]
        for header, length, expected in cases:
            with self.subTest(header=header, length=length):
                self.assertEqual(server.byte_range(header, length), expected)

    def test_media_is_served_in_parts_on_request(self):
        _, whole = self.fetch_bytes("/media/tone.wav")
        cases = [("/media/tone.wav", "bytes=100-199", 206, whole[100:200],
                  f"bytes 100-199/{len(whole)}"),
                 ("/media/tone.wav", None, 200, whole, None),
                 ("/media/tone.wav", "bytes=0-1,5-6", 200, whole, None)]
        for path, header, status, body, content_range in cases:
            with self.subTest(header=header):
                response, data = self.fetch_bytes(path, {"Range": header} if header else {})
                self.assertEqual(response.status, status)
                self.assertEqual(data, body)
                self.assertEqual(response.headers["Accept-Ranges"], "bytes")
                self.assertEqual(response.headers["Content-Range"], content_range)
        # Pages are sent whole.
        response, _ = self.fetch_bytes("/sof/ie/Index", {"Range": "bytes=0-9"})
        self.assertEqual(response.status, 200)
        self.assertIsNone(response.headers["Accept-Ranges"])

    def test_a_missing_media_file_is_not_found(self):
        self.assertEqual(self.fetch_bytes("/media/ie/missing.wma")[0].status, 404)

    def test_every_player_names_a_source_that_is_served_unless_it_is_meant_missing(self):
        for path in IE_MEDIA_PAGES:
            with self.subTest(path=path):
                response, body = self.request(path)
                self.assertEqual(response.status, 200)
                elements = Elements(body)
                sources = [attrs["value"] for attrs in elements.all("param")
                           if attrs.get("name", "").lower() in ("url", "filename")]
                sources += [attrs["src"] for attrs in elements.all("embed") if "src" in attrs]
                self.assertTrue(sources)
                for source in sources:
                    status = self.fetch_bytes(source)[0].status
                    self.assertEqual(status, 404 if "missing" in source else 200, source)

    def test_players_use_the_old_class_ids_and_type(self):
        cases = [("/sof/ie/Media/Exercise", "object", "Player",
                  "CLSID:6BF52A52-394A-11D3-B153-00C04F79FAA6"),
                 ("/sof/ie/Media/OldPlayer", "object", "MediaPlayer1",
                  "clsid:22D6F312-B0F6-11D0-94AB-0080C74C7E95"),
                 ("/sof/ie/Media/Wmv", "object", "VideoPlayer",
                  "clsid:6BF52A52-394A-11D3-B153-00C04F79FAA6"),
                 ("/sof/ie/Media/Embed", "embed", "Sound", "application/x-mplayer2")]
        for path, tag, element_id, kind in cases:
            with self.subTest(path=path):
                _, body = self.request(path)
                attrs = Elements(body).by_id(element_id)
                self.assertEqual(len(attrs), 1)
                self.assertEqual(attrs[0].get("classid" if tag == "object" else "type"), kind)

    def test_the_index_links_every_media_page(self):
        _, body = self.request("/sof/ie/Index")
        links = {attrs["href"] for attrs in Elements(body).all("a")}
        for path in IE_MEDIA_PAGES:
            self.assertIn(path, links)


if __name__ == "__main__":
    unittest.main()


class SlowDownloadAndFrameTests(ServerTestCase):
    def open_stream(self, path):
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=15)
        connection.request("GET", path)
        return connection, connection.getresponse()

    def test_large_downloads_announce_their_size_and_arrive_piece_by_piece(self):
        for path, name, length in (("/media/lecture.mp3?copy=3", "lecture.mp3", 8 * 1024 * 1024),
                                   ("/media/archive.zip", "archive.zip", 1 << 50)):
            connection, response = self.open_stream(path)
            try:
                self.assertEqual(response.status, 200)
                self.assertEqual(int(response.headers["Content-Length"]), length)
                self.assertEqual(response.headers["Content-Disposition"],
                                 f'attachment; filename="{name}"')
                # The first pieces come at once; the rest is still on its way.
                self.assertEqual(len(response.read(64 * 1024)), 64 * 1024)
            finally:
                connection.close()

    def test_frame_pages_name_the_frame_of_the_right_origin(self):
        other = f"http://localhost:{self.port}"
        for path, origin in (("/sof/Frames/Other", other), ("/sof/Frames/Own", self.origin)):
            response, text = self.request(path)
            self.assertEqual(response.status, 200)
            self.assertEqual(Elements(text).by_id("senderFrame")[0]["src"],
                             f"{origin}/sof/Frames/Sender")

    def test_the_ticking_frame_counts_down_and_stops(self):
        response, text = self.request("/sof/Frames/Tick?left=3")
        self.assertIn("/sof/Frames/Tick?left=' + (3 - 1)", text)
        self.assertEqual(self.request("/sof/Frames/Tick?left=x")[0].status, 400)
        response, text = self.request("/sof/Frames/Reloading")
        self.assertEqual(Elements(text).by_id("tickFrame")[0]["src"],
                         f"/sof/Frames/Tick?left={server.FRAME_LOADS}")
        self.assertEqual(len(Elements(text).by_id("hiddenLink")), 1)

    def test_the_material_window_has_its_close_button(self):
        response, text = self.request("/sof/Windows/Material")
        self.assertEqual(Elements(text).by_id("closeWindow")[0]["onclick"], "window.close()")


class TlsTests(unittest.TestCase):
    """The demo served over https with a certificate made here (openssl)."""

    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.cert = os.path.join(self.tmp.name, "server.pem")
        self.key = os.path.join(self.tmp.name, "server.key")
        subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                        "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                        "-keyout", self.key, "-out", self.cert],
                       check=True, capture_output=True)

    def tearDown(self):
        self.tmp.cleanup()

    def serve(self):
        httpd = server.make_server("127.0.0.1", 0, tls=server.tls_context(self.cert, self.key))
        thread = threading.Thread(target=httpd.serve_forever, daemon=True)
        thread.start()

        def stop():
            httpd.shutdown()
            httpd.server_close()
            thread.join(timeout=10)
        self.addCleanup(stop)
        return httpd

    def test_serves_https_to_a_client_that_trusts_the_certificate(self):
        httpd = self.serve()
        port = httpd.server_address[1]
        self.assertEqual(httpd.base_url, f"https://127.0.0.1:{port}/")
        context = ssl.create_default_context(cafile=self.cert)
        connection = http.client.HTTPSConnection("127.0.0.1", port, timeout=15, context=context)
        try:
            connection.request("GET", "/Home/Home/Index")
            response = connection.getresponse()
            self.assertEqual(response.status, 200)
            self.assertIn("<form", response.read().decode("utf-8"))
        finally:
            connection.close()

    def test_a_refused_handshake_leaves_the_server_serving(self):
        httpd = self.serve()
        port = httpd.server_address[1]
        # A client that does not trust the certificate gives up in the handshake.
        with self.assertRaises(ssl.SSLCertVerificationError):
            http.client.HTTPSConnection("127.0.0.1", port, timeout=15,
                                        context=ssl.create_default_context()).request("GET", "/")
        # One that connects and says nothing holds up no other.
        idle = socket.create_connection(("127.0.0.1", port))
        self.addCleanup(idle.close)
        context = ssl.create_default_context(cafile=self.cert)
        connection = http.client.HTTPSConnection("127.0.0.1", port, timeout=15, context=context)
        try:
            connection.request("GET", "/Home/Home/Index")
            self.assertEqual(connection.getresponse().status, 200)
        finally:
            connection.close()

    def test_the_command_line_wants_both_files(self):
        result = subprocess.run([sys.executable, "-B", os.path.join(HERE, "server.py"),
                                 "--port", "0", "--tls-cert", self.cert],
                                capture_output=True, text=True, timeout=30)
        self.assertEqual(result.returncode, 2)
        self.assertIn("--tls-cert and --tls-key go together", result.stderr)
