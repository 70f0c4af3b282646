#!/usr/bin/env python3
"""A small demo of the learning platform's web site.

The client is a frame around the platform's pages and adapts itself to what they contain: the
address of each loaded document, the cookies "ReturnURL" and "ReturnTip", the elements
"showReturnBtn" and "hiddenLink", and the "command:" addresses that pages send through the
script the client adds to them. These pages exercise all of that, so the demo run shows the
client at work and the end-to-end tests have a site to drive.

Run:  python3 demo/platform/server.py [--port 8731] [--host 127.0.0.1] [--request-log FILE]
                                      [--tls-cert FILE --tls-key FILE]

It serves only on a loopback address. Paths are matched without regard to letter case, as the
platform's own server does. With --port 0 the system picks a free port; the address actually
served is printed on the first line of standard output. With a certificate and its key (PEM
files) it serves https instead of http.
"""

import argparse
import html
import io
import ipaddress
import math
import os
import re
import socket
import ssl
import struct
import sys
import threading
import time
import wave
from datetime import datetime
from http import HTTPStatus
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from string import Template
from urllib.parse import parse_qs, quote, quote_plus, unquote_plus, urlsplit, urlunsplit

DEFAULT_HOST = "127.0.0.1"
DEFAULT_PORT = 8731
SLOW_LIMIT_MS = 10_000
MAX_FORM_BYTES = 64 * 1024
PAGES_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "pages")
# Made by tools/swf (tools/make-splash.sh).
MEDIA_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "media")

RETURN_TIP = "确定要返回主页吗？"
LARGE_COOKIES_TIP = "本页写入了大量 Cookie。确定返回课程目录吗？"
INDEX_PATH = "/Home/Home/Index"
MAIN_PATH = "/Home/Home/Main"
COURSE_PATH = "/sof/Lesson/Index"
BENCH_PAGE_LOADS = 20
BENCH_COMMANDS = 50
COOKIE_VALUE = re.compile(r"[A-Za-z0-9%+._\-*]*")


# --- cookies -------------------------------------------------------------------------------

def encode_return_url(url):
    """ReturnURL is URL-encoded once; the client decodes it once."""
    return quote_plus(url, safe="")


def encode_return_tip(text):
    """ReturnTip is the UTF-8 text URL-encoded twice; the client decodes it twice."""
    return quote_plus(quote_plus(text, safe=""), safe="")


def set_cookie(name, value):
    # Not HttpOnly: the client reads these through the page's document.cookie.
    return f"{name}={value}; Path=/; SameSite=Lax"


def clear_cookie(name):
    return f"{name}=; Path=/; Max-Age=0; Expires=Thu, 01 Jan 1970 00:00:00 GMT; SameSite=Lax"


def parse_cookie_header(text):
    cookies = {}
    for part in (text or "").split(";"):
        name, sep, value = part.strip().partition("=")
        if sep and name:
            cookies.setdefault(name, value)
    return cookies


# --- small pure rules ----------------------------------------------------------------------

def check_loopback_host(host):
    """Returns the address to bind for host, or raises ValueError when it is not loopback."""
    if host.lower() == "localhost":
        return "127.0.0.1"
    try:
        address = ipaddress.ip_address(host.strip("[]"))
    except ValueError:
        raise ValueError(f"not an IP address: {host!r} (use 127.0.0.1, ::1 or localhost)")
    if not address.is_loopback:
        raise ValueError(f"refusing to serve on {host}: only loopback addresses are allowed")
    return str(address)


def bounded_number(value, low, high):
    """A whole number given as text, bounded to low..high; None when it is not one."""
    if value is None or not re.fullmatch(r"-?\d{1,12}", value.strip()):
        return None
    return max(low, min(int(value), high))


def slow_delay_ms(value):
    """The delay asked for by /slow?ms=N, bounded to 0..SLOW_LIMIT_MS; None when not a number."""
    return bounded_number(value, 0, SLOW_LIMIT_MS)


def bench_loads_path(left):
    """A page of the page-load benchmark: the chain takes the inner skin (a learning page) and
    the outer skin (under the bench's host address) by turns of two pages."""
    folder = "/sof/Bench" if (left + 1) // 2 % 2 == 0 else "/bench"
    return f"{folder}/Loads?left={left}"


def bench_next_page(left):
    """Where a page of the page-load benchmark goes on to: the next of the chain, or the
    command benchmark at the end."""
    if left <= 0:
        return f"/bench/Commands?count={BENCH_COMMANDS}"
    return bench_loads_path(left - 1)


def local_redirect_target(value, default):
    """Only paths on this site: "/x" is fine, "//host/x" and "http://..." are not."""
    if value is None or value == "":
        return default
    if value.startswith("/") and not value.startswith("//") and "\\" not in value:
        return value
    return None


def other_origin(origin):
    """The same server under its other loopback name, which the browser counts as another
    origin: 127.0.0.1 and localhost swap."""
    parts = urlsplit(origin)
    host = parts.hostname or ""
    other = "localhost" if host != "localhost" else "127.0.0.1"
    netloc = other + (f":{parts.port}" if parts.port else "")
    return urlunsplit((parts.scheme, netloc, "", "", ""))


def byte_range(header, length):
    """The one byte range "bytes=first-last" (or "bytes=-suffix") that a Range header asks of
    a body of length bytes, as (first, last) inclusive; None when the whole body is to be
    sent: no header, one this server does not serve (several ranges), or none that fits."""
    match = re.fullmatch(r"\s*bytes\s*=\s*(\d{0,15})\s*-\s*(\d{0,15})\s*", header or "")
    if not match or match.group(1) + match.group(2) == "" or length == 0:
        return None
    first, last = match.group(1), match.group(2)
    if first == "":
        return (max(0, length - int(last)), length - 1) if int(last) > 0 else None
    first = int(first)
    last = min(int(last), length - 1) if last else length - 1
    return (first, last) if first <= last else None


def with_range(response, header):
    """Media answered as the platform's web server answered it: parts of the file on request,
    which the browser needs to seek in it."""
    if not response.content_type.startswith(("audio/", "video/")) or \
            response.status != HTTPStatus.OK:
        return response
    response.headers.append(("Accept-Ranges", "bytes"))
    span = byte_range(header, len(response.body))
    if span is None:
        return response
    first, last = span
    length = len(response.body)
    response.body = response.body[first:last + 1]
    response.status = HTTPStatus.PARTIAL_CONTENT
    response.headers.append(("Content-Range", f"bytes {first}-{last}/{length}"))
    return response


def tone_wav(seconds=8.0, rate=16000, frequency=440.0, level=0.3):
    """A sine tone as a 16-bit mono WAV file's bytes."""
    frames = bytearray()
    for n in range(int(seconds * rate)):
        sample = int(level * 32767 * math.sin(2 * math.pi * frequency * n / rate))
        frames += struct.pack("<h", sample)
    out = io.BytesIO()
    with wave.open(out, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(bytes(frames))
    return out.getvalue()


# --- pages ---------------------------------------------------------------------------------

_templates = {}
_templates_lock = threading.Lock()


def template(name):
    with _templates_lock:
        if name not in _templates:
            with open(os.path.join(PAGES_DIR, name + ".html"), encoding="utf-8") as f:
                _templates[name] = Template(f.read())
        return _templates[name]


class Stream:
    """A body sent piece by piece as the pieces come, for downloads that take their time."""

    def __init__(self, length, pieces):
        self.length = length
        self.pieces = pieces


class Response:
    def __init__(self, status=HTTPStatus.OK, body="", headers=(), cookies=(),
                 content_type="text/html; charset=utf-8"):
        self.status = status
        self.body = body
        self.headers = list(headers)
        self.cookies = list(cookies)
        self.content_type = content_type


class Request:
    def __init__(self, method, path, query, cookies, origin, serial, form=None):
        self.method = method
        self.path = path
        self.query = query
        self.cookies = cookies
        self.origin = origin
        self.serial = serial
        self.form = form or {}

    def arg(self, name, default=None):
        return self.query.get(name, [default])[0]

    @property
    def username(self):
        return unquote_plus(self.cookies.get("username", ""))


def page(req, name, title, status=HTTPStatus.OK, cookies=(), layout="layout", head_html="",
         **values):
    """Renders pages/<name>.html inside the common layout. Values are HTML-escaped; names
    ending in _html are inserted as they are. head_html goes into the layout's <head>, where
    older pages put their scripts."""
    escaped = {k: (v if k.endswith("_html") else html.escape(str(v))) for k, v in values.items()}
    escaped.setdefault("origin", html.escape(req.origin))
    body = template(name).substitute(escaped)
    text = template(layout).substitute(title=html.escape(title), body_html=body,
                                       serial=req.serial, head_html=head_html)
    return Response(status, text, cookies=cookies)


def redirect(location, status=HTTPStatus.FOUND, cookies=()):
    return Response(status, "", headers=[("Location", location)], cookies=cookies)


def not_found(req):
    return page(req, "not_found", "页面不存在 Page not found", HTTPStatus.NOT_FOUND,
                path=req.path)


def bad_request(req, reason):
    return page(req, "bad_request", "请求无效 Bad request", HTTPStatus.BAD_REQUEST, reason=reason)


# Portal

def portal_index(req):
    error = ""
    if req.method == "POST":
        username = req.form.get("username", [""])[0].strip()
        password = req.form.get("password", [""])[0]
        if username and password:
            return redirect(MAIN_PATH, cookies=[set_cookie("username", quote_plus(username))])
        error = "请输入用户名和密码。Please enter a user name and a password."
    return page(req, "index", "登录 Log in", error=error)


def portal_main(req):
    return page(req, "main", "学习主页 Home", username=req.username or "同学")


def logout(req):
    return page(req, "logout", "已退出 Logged out", cookies=[clear_cookie("username")])


def find_password(req):
    email = (req.arg("email") or "").strip()
    sent = f"重置密码的邮件已发送到 {email}（演示站点不会真的发送）。" if email else ""
    return page(req, "find_password", "找回密码 Find password", sent=sent)


def introduce(req):
    return page(req, "introduce", "平台介绍 About the platform")


def base_info(req):
    return page(req, "base_info", "个人信息 My profile",
                username=req.username or "未登录 not logged in")


def redirect_home(req):
    return redirect(INDEX_PATH)


# Learning pages

def course_index(req):
    cookies = [set_cookie("ReturnURL", encode_return_url(req.origin + MAIN_PATH)),
               set_cookie("ReturnTip", encode_return_tip(RETURN_TIP))]
    return page(req, "course", "课程目录 Course units", cookies=cookies)


def unit1(req):
    return page(req, "unit1", "第一单元 Unit 1: Campus life")


def unit2(req):
    return page(req, "unit2", "第二单元 Unit 2: Introduce yourself")


def unit3(req):
    return page(req, "unit3", "第三单元 Unit 3: Describe your hometown")


def record(req):
    source = req.arg("from") or (f"unit {req.arg('unit')}" if req.arg("unit") else "")
    return page(req, "record", "录音练习 Recording practice", source=source or "—")


def english_test(req):
    if req.arg("type") == "assist":
        return page(req, "english_test", "英语测试·辅助练习 Assisted practice",
                    mode="辅助练习：点击录音前会先提示检查麦克风。",
                    next_path="/sof/Lesson/Record?from=englishtest-assist")
    return page(req, "english_test", "英语测试 English test",
                mode="正式测试：录音直接开始，不再提示。",
                next_path="/sof/Lesson/Record?from=englishtest")


WORD_CHOICE_QUESTIONS = [
    ("The library is ____ to all students.", "open", "opened", "opening"),
    ("She ____ English every morning.", "reads", "read", "reading"),
    ("We need to ____ our time well.", "manage", "managing", "managed"),
]


def word_choose(req, number):
    if not 1 <= number <= len(WORD_CHOICE_QUESTIONS):
        return not_found(req)
    sentence, *choices = WORD_CHOICE_QUESTIONS[number - 1]
    following = number + 1 if number < len(WORD_CHOICE_QUESTIONS) else 1
    return page(req, "word_choose", f"选词填空 第 {number} 题 Word choice {number}",
                sentence=sentence, a=choices[0], b=choices[1], c=choices[2],
                next_path=f"/home/Home/WordChoose/{following}")


def listening_test(req):
    answer = req.arg("answer")
    submitted = f"已提交答案 Answer submitted: {answer}" if answer is not None else ""
    return page(req, "listening", "听力测试 Listening test", submitted=submitted)


def reading(req):
    return page(req, "reading", "阅读训练 Reading practice")


def read_assist(req):
    return page(req, "read_assist", "阅读助手 Reading assistant")


# Frames

def frames_date_picker(req):
    return page(req, "frames_date_picker", "日期选择与空白框架 Frames")


def date_picker_frame(req):
    today = datetime.now()
    return page(req, "date_picker", "日期选择 Date picker", layout="frame",
                month=f"{today.year} 年 {today.month} 月")


def frames_sync_time(req):
    return page(req, "frames_sync_time", "学习计时 Study time")


def sync_user_time(req):
    return page(req, "sync_time", "学习时间同步 Time sync", layout="frame",
                time=datetime.now().strftime("%H:%M:%S"))


# Return address pages: each sets (or clears) the cookies the client reads after a load.

def return_page(req, title, note, url=None, tip=None, raw_url=None, raw_tip=None, clear=False,
                hide_button=False):
    cookies = []
    if clear:
        cookies = [clear_cookie("ReturnURL"), clear_cookie("ReturnTip")]
    if url is not None:
        cookies.append(set_cookie("ReturnURL", encode_return_url(url)))
    if raw_url is not None:
        cookies.append(set_cookie("ReturnURL", raw_url))
    if tip is not None:
        cookies.append(set_cookie("ReturnTip", encode_return_tip(tip)))
    if raw_tip is not None:
        cookies.append(set_cookie("ReturnTip", raw_tip))
    if clear:
        shown_url = shown_tip = "（已清除 cleared）"
    else:
        shown_url = shown_tip = "（不变 unchanged）"
        if url is not None:
            shown_url = f"「{url}」"
        elif raw_url is not None:
            shown_url = raw_url
        if tip is not None:
            shown_tip = tip or "（空 empty：不确认 no confirmation）"
        elif raw_tip is not None:
            shown_tip = raw_tip
    marker = ('<div id="showReturnBtn" class="note">本页自带返回链接，客户端的返回按钮应隐藏：'
              '<a href="/Home/Home/Main">回到学习主页 Back to home</a></div>') if hide_button else ""
    return page(req, "return", title, cookies=cookies, note=note, shown_url=shown_url,
                shown_tip=shown_tip, marker_html=marker)


def return_main(req):
    return return_page(req, "返回主页 Return to home", "返回按钮回到学习主页，返回前先确认。",
                       url=req.origin + MAIN_PATH, tip=RETURN_TIP)


def return_no_tip(req):
    return return_page(req, "直接返回 Return without asking",
                       "返回按钮直接回到学习主页，不再确认。",
                       url=req.origin + MAIN_PATH, tip="")


def return_with_query(req):
    return return_page(req, "带查询的返回地址 Return address with a query",
                       "返回地址里已有「?」，客户端在后面接「&」和随机数。",
                       url=req.origin + COURSE_PATH + "?from=return", tip="")


def return_ends_with_question(req):
    return return_page(req, "以问号结尾的返回地址 Return address ending in ?",
                       "返回地址以「?」结尾，客户端在后面接「&」和随机数。",
                       url=req.origin + COURSE_PATH + "?", tip="")


def return_blank(req):
    return return_page(req, "空白返回地址 Blank return address",
                       "返回地址只有空格，返回按钮应隐藏。", url="   ", tip="")


def return_malformed(req):
    return return_page(req, "错误的返回地址 Malformed return address",
                       "返回地址含有无效的「%」转义，客户端会报告错误并保留原来的返回地址。",
                       raw_url="%zz")


def return_clear(req):
    return return_page(req, "清除返回地址 Return address cleared",
                       "两个 Cookie 都已清除，返回按钮应隐藏。", clear=True)


def return_hidden(req):
    return return_page(req, "自带返回链接 Page with its own return link",
                       "本页设置了返回地址，但页面上有 showReturnBtn 元素。",
                       url=req.origin + MAIN_PATH, tip=RETURN_TIP, hide_button=True)


def return_set(req):
    url = req.arg("url")
    if url is None:
        return bad_request(req, "缺少参数 url。Missing parameter url.")
    return return_page(req, "自定义返回地址 Custom return address",
                       "返回地址和提示来自本页地址的参数 url 和 tip（没有 tip 时提示不变）。",
                       url=url, tip=req.arg("tip"))


def return_raw(req):
    url, tip = req.arg("url"), req.arg("tip")
    if url is None and tip is None:
        return bad_request(req, "缺少参数 url 或 tip。Missing parameter url or tip.")
    if any(value is not None and not COOKIE_VALUE.fullmatch(value) for value in (url, tip)):
        return bad_request(req, "Cookie 值只能含字母、数字和 %+._-*。"
                                "Cookie values hold letters, digits and %+._-* only.")
    return return_page(req, "原样的返回 Cookie Return cookies as given",
                       "返回 Cookie 的值就是本页地址的参数 url 和 tip，不经编码：服务器本不该发送的值"
                       "（例如无效的「%」转义）也原样到达客户端。",
                       raw_url=url, raw_tip=tip)


# Stress pages: what a faulty or hostile page could do to the client.

def large_cookies(req):
    url = req.origin + COURSE_PATH + "?from=large-cookies"
    cookies = [set_cookie("ReturnURL", encode_return_url(url)),
               set_cookie("ReturnTip", encode_return_tip(LARGE_COOKIES_TIP))]
    return page(req, "large_cookies", "大量 Cookie Large cookies", cookies=cookies,
                return_url=url, return_tip=LARGE_COOKIES_TIP)


def command_flood(req):
    cookies = [set_cookie("ReturnURL", encode_return_url(req.origin + MAIN_PATH)),
               set_cookie("ReturnTip", encode_return_tip(RETURN_TIP))]
    return page(req, "command_flood", "命令洪流 A flood of commands", cookies=cookies)


# What real sites do: links to other programs, escaped addresses, forms, persistent cookies,
# sound that starts by itself.

def external_links(req):
    return page(req, "external_links", "其他程序的链接 Links to other programs",
                other_origin=other_origin(req.origin))


def external_links_frame(req):
    return page(req, "external_links_frame", "另一个源的框架 Another origin", layout="frame")


def escaped_lesson(req):
    return page(req, "escaped", "地址含转义的课文 Lesson two", unit=req.arg("unit") or "—")


NOTE_LIMIT = 200


def note(req):
    if req.method == "POST":
        text = req.form.get("note", [""])[0][:NOTE_LIMIT]
        # Post/redirect/get: the answer to the form is a redirect back to the form's own page.
        return redirect("/sof/Forms/Note", HTTPStatus.SEE_OTHER,
                        cookies=[set_cookie("note", quote_plus(text))])
    return page(req, "note", "笔记 Notes", saved=unquote_plus(req.cookies.get("note", "")))


REMEMBER_SECONDS = 30 * 24 * 3600


def remember(req):
    value = req.arg("value")
    cookies = []
    if value is not None:
        if not COOKIE_VALUE.fullmatch(value):
            return bad_request(req, "value 只能含字母、数字和 %+._-*。")
        cookies = [f"remember={value}; Path=/; Max-Age={REMEMBER_SECONDS}; SameSite=Lax"]
    return page(req, "remember", "记住我 Remember me", cookies=cookies,
                received=req.cookies.get("remember", "（无 none）"))


def open_windows(req):
    return page(req, "open_windows", "新窗口 New windows")


def window_opened(req):
    """The page's note that it went on after asking for a window."""
    return Response(HTTPStatus.NO_CONTENT, b"")


NOTES = "Unit 1: Campus life\nWords: library, lecture, dormitory\n"


def downloads(req):
    return page(req, "downloads", "资料下载 Downloads", other_origin=other_origin(req.origin))


def unit1_notes(req):
    return Response(HTTPStatus.OK, NOTES.encode("utf-8"), content_type="text/plain; charset=utf-8",
                    headers=[("Content-Disposition", 'attachment; filename="unit1-notes.txt"')])


LECTURE_BYTES = 8 * 1024 * 1024
LECTURE_PIECE = 16 * 1024
# Announced, never sent: larger than any disk.
ARCHIVE_BYTES = 1 << 50


def trickle(total, first, piece, pause):
    """first bytes at once, then piece bytes per pause seconds, until total or the client has
    gone."""
    yield b"\0" * min(first, total)
    sent = min(first, total)
    while sent < total:
        time.sleep(pause)
        size = min(piece, total - sent)
        yield b"\0" * size
        sent += size


def attachment(name, length, pieces):
    return Response(HTTPStatus.OK, Stream(length, pieces), content_type="application/octet-stream",
                    headers=[("Content-Disposition", f'attachment; filename="{name}"')])


# 90 Chinese characters are 270 bytes of UTF-8, more than a file name may have; a right-to-left
# override in it would show the name reversed.
LONG_NAME = "第一单元听力材料" * 11 + "听力" + "\u202e.txt"


def long_name_notes(req):
    return Response(HTTPStatus.OK, NOTES.encode("utf-8"), content_type="text/plain; charset=utf-8",
                    headers=[("Content-Disposition",
                              "attachment; filename*=UTF-8''" + quote(LONG_NAME))])


def lecture(req):
    """A large recording that arrives slowly: it is still running when the student acts."""
    return attachment("lecture.mp3", LECTURE_BYTES,
                      trickle(LECTURE_BYTES, 4 * LECTURE_PIECE, LECTURE_PIECE, 0.25))


def archive(req):
    return attachment("archive.zip", ARCHIVE_BYTES,
                      trickle(ARCHIVE_BYTES, 4 * LECTURE_PIECE, LECTURE_PIECE, 0.25))


def material(req):
    return page(req, "material", "课程资料 Material")


def frames_other(req):
    return page(req, "frames_other", "另一个源的框架 A frame of another origin",
                frame_origin=other_origin(req.origin),
                note="另一个源的框架不能向客户端发送命令。"
                     "A frame of another origin cannot send the client commands.")


def frames_own(req):
    return page(req, "frames_other", "本站的框架 A frame of this site", frame_origin=req.origin,
                note="本站的框架可以向客户端发送命令。A frame of this site sends the client commands.")


def frames_sender(req):
    return page(req, "frames_sender", "框架 Frame", layout="frame")


FRAME_LOADS = 6


def frames_reloading(req):
    return page(req, "frames_reloading", "不停加载的框架 A frame that keeps loading",
                loads=FRAME_LOADS)


def frames_tick(req):
    left = bounded_number(req.arg("left", "0"), 0, 100)
    if left is None:
        return bad_request(req, "left 必须是 0 到 100 的整数。left must be a whole number 0-100.")
    return page(req, "frames_tick", "框架 Frame", layout="frame", left=left)


def video(req):
    return page(req, "video", "视频 Video")


def popup(req):
    return page(req, "popup", "弹出窗口 Pop-up")


def media_record(req):
    return page(req, "media_record", "网页录音 Recording in the page")


def autoplay(req):
    return page(req, "autoplay", "自动播放的听力 Listening that plays by itself")


# Flash content of older lesson pages: the movie as an embed element, as an object element in
# the old browser's form, added later by the page's script, and in a frame of another origin.
LESSON_MOVIE = "/media/lesson.swf"
LESSON_EMBED = (f'<embed id="movie" src="{LESSON_MOVIE}" type="application/x-shockwave-flash" '
                'width="320" height="160" quality="high">')
OLDER_LESSON = "旧课件里的 Flash 听力播放器。Flash content of an older lesson page."
FLASH_PAGES = {
    "embed": (OLDER_LESSON, LESSON_EMBED),
    "object": (OLDER_LESSON,
               '<object id="movie" classid="clsid:D27CDB6E-AE6D-11cf-96B8-444553540000" '
               f'width="320" height="160"><param name="movie" value="{LESSON_MOVIE}">'
               '<param name="quality" value="high"></object>'),
    "later": ("页面脚本稍后加入的 Flash 播放器。Flash content that the page's script adds later.",
              f'<template id="laterMovie">{LESSON_EMBED}</template>'),
}


def flash_page(kind):
    intro, movie_html = FLASH_PAGES[kind]

    def handler(req):
        return page(req, "flash", f"Flash 听力 Flash listening ({kind})", intro=intro,
                    movie_html=movie_html)
    return handler


def flash_other_frame(req):
    return page(req, "flash_other_frame", "另一个源的 Flash Flash of another origin",
                other_origin=other_origin(req.origin))


def flash_frame(req):
    return page(req, "flash_frame", "框架里的 Flash Flash in a frame", layout="frame")


_lesson_movie = None


def lesson_movie(req):
    global _lesson_movie
    if _lesson_movie is None:
        with open(os.path.join(MEDIA_DIR, "lesson.swf"), "rb") as f:
            _lesson_movie = f.read()
    return Response(HTTPStatus.OK, _lesson_movie, content_type="application/x-shockwave-flash")


_tone = None


def tone(req):
    global _tone
    if _tone is None:
        _tone = tone_wav()
    return Response(HTTPStatus.OK, _tone, content_type="audio/wav")


# Pages written for the old Windows browser control: its event model, its ActiveX objects and
# its smaller calls, as the platform's pages of that time used them.
# (question, choices, the right choice)
IE_QUIZ = [
    ("Which word means \"happy\"?", ("A. sad", "B. glad", "C. angry"), "B"),
    ("Choose the past tense of \"go\".", ("A. goed", "B. gone", "C. went"), "C"),
]
IE_WORDS = ("glad", "went", "library", "borrow", "return")


def ie_events(req):
    return page(req, "ie_events", "事件模型 Events the old way",
                head_html=template("ie_events_head").template)


def ie_quiz(req):
    return page(req, "ie_quiz", "小测验 Quiz", head_html=template("ie_quiz_head").template)


def ie_small_calls(req):
    return page(req, "ie_small_calls", "常用旧接口 Smaller calls",
                head_html=template("ie_small_calls_head").template)


def ie_frame(req):
    name = req.arg("name", "")
    if not re.fullmatch(r"[A-Za-z]{1,20}", name):
        return bad_request(req, "name 必须是字母。name must be letters.")
    return page(req, "ie_frame", f"框架 Frame {name}", layout="frame", frame_name=name)


def plain_text(text, status=HTTPStatus.OK):
    return Response(status, text, content_type="text/plain; charset=utf-8")


def xml_text(text, status=HTTPStatus.OK):
    return Response(status, '<?xml version="1.0" encoding="utf-8"?>' + text,
                    content_type="text/xml; charset=utf-8")


def ie_quiz_item(req):
    number = req.arg("n", "")
    if not re.fullmatch(r"\d{1,3}", number) or not 1 <= int(number) <= len(IE_QUIZ):
        return None
    return int(number), IE_QUIZ[int(number) - 1]


def ie_question(req):
    """One question as plain text: the question, then its choices, one a line."""
    item = ie_quiz_item(req)
    if item is None:
        return plain_text("no such question", HTTPStatus.NOT_FOUND)
    _, (question, choices, _) = item
    return plain_text("\n".join((question,) + choices))


def ie_answer(req):
    """The verdict on one answer, as XML."""
    item = ie_quiz_item(req)
    if item is None:
        return xml_text("<error>no such question</error>", HTTPStatus.NOT_FOUND)
    number, (_, _, right) = item
    choice = (req.arg("choice", "") or "").strip().upper()[:1]
    verdict = "正确" if choice == right else "错误"
    score = 10 if choice == right else 0
    return xml_text(f'<result question="{number}"><choice>{html.escape(choice)}</choice>'
                    f"<verdict>{verdict}</verdict><right>{right}</right>"
                    f"<score>{score}</score></result>")


def ie_words(req):
    words = "".join(f'<word level="{i % 2 + 1}">{w}</word>' for i, w in enumerate(IE_WORDS))
    return xml_text(f"<words>{words}</words>")


# The IE-era section: pages written for the old browser control, as the platform's older
# lessons were.

def ie_dialog(req):
    return page(req, "ie_dialog", "单元选择对话框 Unit chooser")


def ie_chooser(req):
    level = bounded_number(req.arg("level", "0"), 0, 99)
    return page(req, "ie_chooser", "选择单元 Choose a unit", layout="frame",
                level=0 if level is None else level, user=req.username)


# Pages sent as the old server sent them: GBK text, no charset in the header or the page.
NO_CHARSET_PAGES = {
    # Only the title is Chinese: too little for the engine's own guess.
    # Only the title is Chinese: too little for the engine's own guess. The text its script
    # (a file of its own, read in the page's character set) adds later is as little.
    "short": ("<html><head><title>英语</title></head><body><p id='text'>Unit 1, Part A</p>"
              "<form action='/sof/ie/echo'><input name='answer' value='A'></form><p id='later'></p>"
              "<script src='/sof/ie/later.js'></script></body></html>"),
    "mixed": ("<html><head><title>Unit 1 Listening</title></head><body>"
              "<p id='text'>Listen to the dialogue and answer the questions. "
              "Score: 90 / 100. 答案</p></body></html>"),
    "long": ("<html><head><title>大学英语四级听力练习</title></head><body><p id='text'>"
             "请仔细听录音，然后回答下面的问题。每段对话播放两遍。</p></body></html>"),
}


def no_charset_page(kind):
    def handler(req):
        return Response(HTTPStatus.OK, NO_CHARSET_PAGES[kind].encode("gbk"),
                        content_type="text/html")
    return handler


def later_script(req):
    text = ("setTimeout(function () {"
            " document.getElementById('later').innerHTML = '<b>第二</b>部分'; }, 100);")
    return Response(HTTPStatus.OK, text.encode("gbk"), content_type="application/javascript")


def western_page(req):
    """A page that names a Western character set keeps it."""
    text = ("<html><head><meta http-equiv='Content-Type' content='text/html; charset=iso-8859-1'>"
            "<title>Caf\u00e9</title></head><body><p id='text'>na\u00efve r\u00e9sum\u00e9</p>"
            "</body></html>")
    return Response(HTTPStatus.OK, text.encode("latin-1"), content_type="text/html")


def western_header_page(req):
    """So does one that names it in its header."""
    text = ("<html><head><title>\u82f1\u8bed</title></head><body><p id='text'>Unit</p>"
            "</body></html>")
    return Response(HTTPStatus.OK, text.encode("gbk"),
                    content_type="text/html; charset=windows-1252")


def utf8_meta_page(req):
    """A page that declares its charset keeps it."""
    text = ("<html><head><meta charset='utf-8'><title>听力</title></head><body>"
            "<p id='text'>单元</p></body></html>")
    return Response(HTTPStatus.OK, text.encode("utf-8"), content_type="text/html")


def ie_index(req):
    return page(req, "ie_index", "旧版浏览器的课件 Pages for the old browser")


# Media-player objects of the old pages: (template, title) by the page's path.
IE_MEDIA_PAGES = {
    "exercise": ("ie_media_exercise", "听力练习 Listening exercise (WMA)"),
    "oldplayer": ("ie_media_oldplayer", "旧版播放器 The 6.4 player (WMA)"),
    "embed": ("ie_media_embed", "嵌入的播放器 An embedded player (WMA)"),
    "wav": ("ie_media_wav", "WAV 听力 WAV listening"),
    "wmv": ("ie_media_wmv", "WMV 视频 WMV video"),
    "broken": ("ie_media_broken", "损坏的听力文件 Broken listening files"),
    "variants": ("ie_media_variants", "播放器的各种写法 Ways of writing a player"),
}


def ie_media_page(kind):
    name, title = IE_MEDIA_PAGES[kind]

    def handler(req):
        return page(req, name, title)
    return handler


# Windows Media files as the platform's server sent them. Made by tools/make-ie-media.sh; the
# broken one is the first half of a listening file's bytes.
IE_MEDIA_FILES = {
    "exercise1.wma": ("exercise1.wma", "audio/x-ms-wma", False),
    "exercise2.wma": ("exercise2.wma", "audio/x-ms-wma", False),
    "tone.wma": ("tone.wma", "audio/x-ms-wma", False),
    "lesson.wmv": ("lesson.wmv", "video/x-ms-wmv", False),
    "broken.wma": ("exercise1.wma", "audio/x-ms-wma", True),
}
_ie_media = {}


def ie_media_file(name):
    file_name, content_type, truncated = IE_MEDIA_FILES[name]

    def handler(req):
        if name not in _ie_media:
            with open(os.path.join(MEDIA_DIR, file_name), "rb") as f:
                data = f.read()
            _ie_media[name] = data[:len(data) // 2] if truncated else data
        return Response(HTTPStatus.OK, _ie_media[name], content_type=content_type)
    return handler


# Benchmark pages: the client's log times what they make it do.

def bench_start(req):
    # "elsewhere": the chain runs on the other loopback name, so that the pages are not the
    # platform's own (the client's settings name this one).
    prefix = other_origin(req.origin) if req.arg("elsewhere") else ""
    return redirect(prefix + bench_loads_path(BENCH_PAGE_LOADS))


def bench_loads(req):
    left = bounded_number(req.arg("left", "0"), 0, 1000)
    if left is None:
        return bad_request(req, "left 必须是整数。left must be a whole number.")
    return page(req, "bench_loads", f"页面加载计时 Page loads ({left} left)", left=left,
                next_path=bench_next_page(left))


def bench_commands(req):
    count = bounded_number(req.arg("count", str(BENCH_COMMANDS)), 1, 1000)
    if count is None:
        return bad_request(req, "count 必须是整数。count must be a whole number.")
    return page(req, "bench_commands", "命令计时 Timed commands", count=count)


# Plumbing pages

def redirect_page(req):
    target = local_redirect_target(req.arg("to"), MAIN_PATH)
    if target is None:
        return bad_request(req, "只能跳转到本站的路径。Only paths on this site.")
    return redirect(target)


def slow(req):
    delay = slow_delay_ms(req.arg("ms", "0"))
    if delay is None:
        return bad_request(req, "ms 必须是整数。ms must be a whole number.")
    time.sleep(delay / 1000)
    return page(req, "slow", "慢速页面 Slow page", delay=delay)


ROUTES = {
    "/": redirect_home,
    "/home": redirect_home,
    "/home/": redirect_home,
    "/home/home/index": portal_index,
    "/home/home/main": portal_main,
    "/home/home/findpassword": find_password,
    "/home/home/introduce": introduce,
    "/home/home/baseinfo": base_info,
    "/sof/lesson/index": course_index,
    "/sof/lesson/unit1": unit1,
    "/sof/lesson/unit2": unit2,
    "/sof/lesson/unit3": unit3,
    "/sof/lesson/record": record,
    "/home/home/englishtest": english_test,
    "/english/wq2009/liseningtest/index": listening_test,
    "/sofweb/reading": reading,
    "/readassist/index": read_assist,
    "/sof/frames/datepicker": frames_date_picker,
    "/my97datepicker/my97datepicker.htm": date_picker_frame,
    "/sof/frames/synctime": frames_sync_time,
    "/home/syncronizeusertime": sync_user_time,
    "/sof/return/main": return_main,
    "/sof/return/notip": return_no_tip,
    "/sof/return/withquery": return_with_query,
    "/sof/return/endswithquestion": return_ends_with_question,
    "/sof/return/blank": return_blank,
    "/sof/return/malformed": return_malformed,
    "/sof/return/clear": return_clear,
    "/sof/return/hidden": return_hidden,
    "/sof/return/set": return_set,
    "/sof/return/raw": return_raw,
    "/sof/stress/largecookies": large_cookies,
    "/sof/stress/commandflood": command_flood,
    "/bench": bench_start,
    "/bench/": bench_start,
    "/bench/loads": bench_loads,
    "/sof/bench/loads": bench_loads,
    "/bench/commands": bench_commands,
    "/sof/links/external": external_links,
    "/sof/links/externalframe": external_links_frame,
    "/sof/lesson%20two": escaped_lesson,
    "/sof/forms/note": note,
    "/sof/cookies/remember": remember,
    "/sof/listening/autoplay": autoplay,
    "/sof/media/record": media_record,
    "/sof/windows/open": open_windows,
    "/sof/windows/opened": window_opened,
    "/sof/downloads": downloads,
    "/sof/media/video": video,
    "/media/unit1-notes.txt": unit1_notes,
    "/media/lecture.mp3": lecture,
    "/media/long-name.txt": long_name_notes,
    "/media/archive.zip": archive,
    "/sof/windows/material": material,
    "/sof/frames/other": frames_other,
    "/sof/frames/own": frames_own,
    "/sof/frames/sender": frames_sender,
    "/sof/frames/reloading": frames_reloading,
    "/sof/frames/tick": frames_tick,
    "/sof/windows/popup": popup,
    # As a start page the settings' host value gets a "/" at its end.
    "/sof/listening/autoplay/": autoplay,
    "/media/tone.wav": tone,
    "/sof/flash/embed": flash_page("embed"),
    "/sof/flash/object": flash_page("object"),
    "/sof/flash/later": flash_page("later"),
    "/sof/flash/otherframe": flash_other_frame,
    "/sof/flash/frame": flash_frame,
    "/media/lesson.swf": lesson_movie,
    "/sof/ie/dialog": ie_dialog,
    "/sof/ie/chooser": ie_chooser,
    "/sof/ie/nocharset/short": no_charset_page("short"),
    "/sof/ie/nocharset/mixed": no_charset_page("mixed"),
    "/sof/ie/nocharset/long": no_charset_page("long"),
    "/sof/ie/utf8meta": utf8_meta_page,
    "/sof/ie/western": western_page,
    "/sof/ie/later.js": later_script,
    "/sof/ie/westernheader": western_header_page,
    "/sof/ie/index": ie_index,
    **{f"/sof/ie/media/{kind}": ie_media_page(kind) for kind in IE_MEDIA_PAGES},
    **{f"/media/ie/{name}": ie_media_file(name) for name in IE_MEDIA_FILES},
    "/sof/ie/events": ie_events,
    "/sof/ie/quiz": ie_quiz,
    "/sof/ie/smallcalls": ie_small_calls,
    "/sof/ie/frame": ie_frame,
    "/sof/ie/question": ie_question,
    "/sof/ie/answer": ie_answer,
    "/sof/ie/words.xml": ie_words,
    "/redirect": redirect_page,
    "/slow": slow,
}

POST_ROUTES = {"/home/home/index", "/sof/forms/note"}
WORD_CHOOSE = re.compile(r"/home/home/wordchoose/(\d{1,3})")


def route(req):
    path = req.path.lower()
    if req.method == "POST" and path not in POST_ROUTES:
        response = page(req, "bad_request", "不支持的请求 Method not allowed",
                        HTTPStatus.METHOD_NOT_ALLOWED, reason="此页面只接受 GET。")
        response.headers.append(("Allow", "GET, HEAD"))
        return response
    handler = ROUTES.get(path)
    if handler:
        return handler(req)
    match = WORD_CHOOSE.fullmatch(path)
    if match:
        return word_choose(req, int(match.group(1)))
    # The client's log-out address is its host value + "Home/Logout": when the host value
    # ends in a path (such as ".../Home/"), that path stands in front.
    if path == "/home/logout" or path.endswith("/home/logout"):
        return logout(req)
    return not_found(req)


# --- server --------------------------------------------------------------------------------

class RequestLog:
    """One line per request, "METHOD /path?query", written as the request arrives."""

    def __init__(self, path):
        self._file = open(path, "a", encoding="utf-8", errors="backslashreplace")
        self._lock = threading.Lock()

    def write(self, method, target):
        with self._lock:
            self._file.write(f"{method} {target}\n")
            self._file.flush()

    def close(self):
        with self._lock:
            self._file.close()


class PlatformHandler(BaseHTTPRequestHandler):
    server_version = "DemoPlatform/1.0"

    def do_GET(self):
        self._dispatch("GET")

    def do_HEAD(self):
        self._dispatch("HEAD")

    def do_POST(self):
        self._dispatch("POST")

    def log_message(self, format, *args):
        pass  # the request log replaces the per-request lines on standard error

    def _origin(self):
        host = self.headers.get("Host", "")
        if re.fullmatch(r"[A-Za-z0-9.\-]+(:\d{1,5})?|\[[0-9A-Fa-f:.]+\](:\d{1,5})?", host):
            return "http://" + host
        return self.server.base_url.rstrip("/")

    def _read_form(self):
        try:
            length = int(self.headers.get("Content-Length", "0"))
        except ValueError:
            length = 0
        data = self.rfile.read(max(0, min(length, MAX_FORM_BYTES)))
        return parse_qs(data.decode("utf-8", "replace"), keep_blank_values=True)

    def _dispatch(self, method):
        if self.server.request_log:
            self.server.request_log.write(method, self.path)
        parts = urlsplit(self.path)
        req = Request(method, parts.path or "/",
                      parse_qs(parts.query, keep_blank_values=True),
                      parse_cookie_header(self.headers.get("Cookie")),
                      self._origin(), self.server.next_serial(),
                      self._read_form() if method == "POST" else None)
        try:
            response = with_range(route(req), self.headers.get("Range"))
        except Exception as error:  # a broken page must not take the server down
            self.log_error("%s %s failed: %r", method, self.path, error)
            response = Response(HTTPStatus.INTERNAL_SERVER_ERROR, "<h1>500</h1>")
        self._send(response, with_body=(method != "HEAD"))

    def _send(self, response, with_body):
        stream = response.body if isinstance(response.body, Stream) else None
        body = b"" if stream else response.body
        if isinstance(body, str):
            body = body.encode("utf-8")
        self.send_response(response.status)
        self.send_header("Content-Type", response.content_type)
        self.send_header("Content-Length", str(stream.length if stream else len(body)))
        self.send_header("Cache-Control", "no-store")
        for name, value in response.headers:
            self.send_header(name, value)
        for cookie in response.cookies:
            self.send_header("Set-Cookie", cookie)
        self.end_headers()
        if with_body and stream:
            try:
                for piece in stream.pieces:
                    self.wfile.write(piece)
                    self.wfile.flush()
            except (BrokenPipeError, ConnectionResetError):
                pass  # the download was cancelled
            self.close_connection = True
        elif with_body:
            self.wfile.write(body)


class PlatformServer(ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, address, request_log=None, tls=None):
        host = address[0]
        if ipaddress.ip_address(host).version == 6:
            self.address_family = socket.AF_INET6
        super().__init__(address, PlatformHandler)
        self.request_log = request_log
        self.tls = tls
        self._serial = 0
        self._serial_lock = threading.Lock()
        port = self.server_address[1]
        shown = f"[{host}]" if ":" in host else host
        self.base_url = f"{'https' if tls else 'http'}://{shown}:{port}/"

    def get_request(self):
        connection, client = super().get_request()
        if self.tls:
            # The handshake happens in the request's own thread, on its first read: a client
            # that connects and says nothing holds up no other.
            connection = self.tls.wrap_socket(connection, server_side=True,
                                              do_handshake_on_connect=False)
        return connection, client

    def handle_error(self, request, client_address):
        # A browser that refuses the certificate ends the handshake: no fault of the server.
        if isinstance(sys.exc_info()[1], (ssl.SSLError, ConnectionResetError)):
            return
        super().handle_error(request, client_address)

    def next_serial(self):
        with self._serial_lock:
            self._serial += 1
            return self._serial

    def server_close(self):
        super().server_close()
        if self.request_log:
            self.request_log.close()


def tls_context(cert_file, key_file):
    """The server's side of https with this certificate (which may hold its chain) and key."""
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert_file, key_file)
    return context


def make_server(host=DEFAULT_HOST, port=DEFAULT_PORT, request_log=None, tls=None):
    """Binds the server (raises ValueError for a host that is not loopback); tls is an
    ssl.SSLContext for https."""
    bind = check_loopback_host(host)
    log = RequestLog(request_log) if request_log else None
    try:
        return PlatformServer((bind, port), log, tls)
    except BaseException:
        if log:
            log.close()
        raise


def main(argv=None):
    parser = argparse.ArgumentParser(description="Demo of the learning platform's web site.")
    parser.add_argument("--host", default=DEFAULT_HOST, help="loopback address (default 127.0.0.1)")
    parser.add_argument("--port", type=int, default=DEFAULT_PORT, help="port (default 8731; 0 picks one)")
    parser.add_argument("--request-log", metavar="FILE", help="append one line per request to FILE")
    parser.add_argument("--tls-cert", metavar="FILE", help="serve https with this certificate (PEM)")
    parser.add_argument("--tls-key", metavar="FILE", help="the certificate's private key (PEM)")
    args = parser.parse_args(argv)
    if not 0 <= args.port <= 65535:
        parser.error(f"port out of range: {args.port}")
    if bool(args.tls_cert) != bool(args.tls_key):
        parser.error("--tls-cert and --tls-key go together")
    try:
        tls = tls_context(args.tls_cert, args.tls_key) if args.tls_cert else None
    except (OSError, ssl.SSLError) as error:
        parser.error(f"cannot use the certificate: {error}")
    try:
        server = make_server(args.host, args.port, args.request_log, tls)
    except ValueError as error:
        parser.error(str(error))
    except OSError as error:
        parser.error(f"cannot serve on {args.host}:{args.port}: {error.strerror or error}")
    print(f"Demo platform at {server.base_url}", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
