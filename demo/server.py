#!/usr/bin/env python3
"""Demonstration laboratory web application, served at /DemoQuorLims on 127.0.0.1.

It stands in for the real laboratory system during demos and is the browser tests' fixture:
besides the application pages it has small endpoints for slow, failing, protected and
cut-off responses.

    server.py [--port N] [--log FILE] [--tls] [--max-requests N] [--idle-exit SECONDS]

The first line on stdout is the port the server listens on (useful with --port 0).
--log appends one line per request: the request path with its query.
"""

import argparse
import base64
import html
import os
import ssl
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

ROOT = "/DemoQuorLims"
HERE = os.path.dirname(os.path.abspath(__file__))
AUTH_USER, AUTH_PASSWORD = "lab", "lims"

samples_lock = threading.Lock()
samples = [
    ("S-0001", "血清", "总胆固醇", "已登记"),
    ("S-0002", "尿液", "尿常规", "检测中"),
    ("S-0003", "全血", "血常规", "已审核"),
]

STYLE = """<style>
body { font-family: sans-serif; margin: 16px; background: #eef3f8; }
h1 { font-size: 20px; color: #003c74; }
table { border-collapse: collapse; background: white; }
td, th { border: 1px solid #9ab; padding: 4px 10px; }
th { background: #c8d8ea; }
nav a, nav button { margin-right: 10px; }
</style>"""


def page(title, body):
    return ("<!DOCTYPE html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
            f"<title>{html.escape(title)}</title>{STYLE}</head><body>{body}</body></html>")


def login_page():
    return page("登录 - 实验室信息管理系统", f"""
<h1>实验室信息管理系统 演示</h1>
<form id="login" method="post" action="{ROOT}/login">
  <p><label>用户名 <input id="user" name="user" autocomplete="username"></label></p>
  <p><label>密码 <input id="password" name="password" type="password"></label></p>
  <p><button type="submit">登录</button></p>
</form>
<script>document.getElementById('user').focus();</script>""")


def samples_page(user):
    with samples_lock:
        rows = "".join(
            "<tr>" + "".join(f"<td>{html.escape(c)}</td>" for c in s) + "</tr>" for s in samples)
    return page("样品列表", f"""
<h1>样品列表</h1>
<p id="user">当前用户：{html.escape(user or "未登录")}</p>
<nav>
  <a id="register" href="{ROOT}/register">登记样品</a>
  <a id="report" href="{ROOT}/report.csv">下载报告</a>
  <a id="blank" href="{ROOT}/whoami" target="_blank">在新窗口查看用户</a>
  <button id="open" onclick="window.open('{ROOT}/popup', 'popup', 'width=640,height=480')">打开标签窗口</button>
  <button id="print" onclick="window.print()">打印</button>
  <button id="alert" onclick="alert('样品已保存')">提示</button>
  <button id="confirm" onclick="document.getElementById('answer').textContent = confirm('确认删除样品？') ? '是' : '否'">删除</button>
  <a id="mail" href="mailto:lab@example.com">联系实验室</a>
</nav>
<p>回答：<span id="answer"></span></p>
<table id="samples"><tr><th>样品编号</th><th>类型</th><th>检测项目</th><th>状态</th></tr>{rows}</table>""")


def register_page():
    return page("登记样品", f"""
<h1>登记样品</h1>
<form method="post" action="{ROOT}/register">
  <p><label>样品编号 <input name="id" autofocus></label></p>
  <p><label>类型 <select name="kind"><option>血清</option><option>尿液</option><option>全血</option></select></label></p>
  <p><label>检测项目 <input name="test"></label></p>
  <p><label>附件 <input id="file" name="file" type="file" accept=".csv,image/png"></label></p>
  <p><button type="submit">保存</button> <a href="{ROOT}/samples">返回</a></p>
</form>""")


def report_csv():
    with samples_lock:
        lines = ["样品编号,类型,检测项目,状态"] + [",".join(s) for s in samples]
    return ("\r\n".join(lines) + "\r\n").encode("utf-8-sig")


def payload(size):
    """Deterministic bytes a test can rebuild: byte i is (i * 7 + 3) mod 251."""
    return bytes((i * 7 + 3) % 251 for i in range(size))


FIXTURE_PAGES = {
    # A field that logs the keys it receives, for the key-routing tests.
    "/keys": page("按键", """
<input id="field" value="abc">
<p id="outside">页外</p>
<script>
window.keylog = [];
document.addEventListener('keydown', e => window.keylog.push(e.key));
</script>"""),
    # Takes every F5, Ctrl+F and Escape for itself.
    "/consume": page("自用按键", """
<input id="field">
<script>
window.consumed = [];
document.addEventListener('keydown', e => {
  if (e.key === 'F5' || e.key === 'Escape' || (e.ctrlKey && e.key === 'f')) {
    e.preventDefault(); window.consumed.push(e.key);
  }
});
</script>"""),
    "/popup": page("标签窗口", """
<h1>标签打印</h1><p id="popup">弹出窗口</p>
<button id="close" onclick="window.close()">关闭</button>"""),
    "/hang": page("忙", """<p id="busy">运行中</p>
<script>setTimeout(() => { for (;;) {} }, 50);</script>"""),
    "/prompt": page("输入", """<p id="answer"></p>
<script>function ask() { document.getElementById('answer').textContent = prompt('样品数量', '1'); }</script>"""),
    "/leave": page("离开", """<input id="field">
<script>window.addEventListener('beforeunload', e => { e.preventDefault(); e.returnValue = ''; });</script>"""),
    "/fullscreen": page("全屏", """<div id="box" style="background:#cde;padding:40px" onclick="this.requestFullscreen()">质控图（点击全屏）</div>"""),
    "/print": page("打印报告", """<h1 style="background:#fd0">检验报告 QLREPORT</h1><p>样品 S-0001 合格</p>"""),
    "/perm": page("权限", """<p id="state"></p>"""),
}


class Handler(BaseHTTPRequestHandler):
    server_version = "DemoQuorLims/1.0"
    protocol_version = "HTTP/1.1"

    def log_message(self, format, *args):  # noqa: A002 - the base class's name
        pass

    def record(self):
        log = self.server.request_log
        if log:
            with self.server.log_lock:
                log.write(self.path + "\n")
                log.flush()

    def cookie_user(self):
        for part in self.headers.get("Cookie", "").split(";"):
            name, _, value = part.strip().partition("=")
            if name == "lims_user":
                return urllib.parse.unquote(value)
        return ""

    def send(self, status, body, content_type="text/html; charset=utf-8", headers=()):
        if isinstance(body, str):
            body = body.encode("utf-8")
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", "no-store")
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def read_form(self):
        length = min(int(self.headers.get("Content-Length", "0") or 0), 1 << 20)
        return urllib.parse.parse_qs(self.rfile.read(length).decode("utf-8", "replace"))

    def do_GET(self):
        self.record()
        url = urllib.parse.urlsplit(self.path)
        query = urllib.parse.parse_qs(url.query)
        if url.path == ROOT or url.path == ROOT + "/":
            return self.send(200, login_page())
        if not url.path.startswith(ROOT + "/"):
            return self.send(404, page("未找到", "<h1>404 未找到</h1>"))
        sub = url.path[len(ROOT):]
        if sub == "/samples":
            return self.send(200, samples_page(self.cookie_user()))
        if sub == "/register":
            return self.send(200, register_page())
        if sub == "/whoami":
            user = html.escape(self.cookie_user() or "未登录")
            return self.send(200, page("当前用户", f"<p id=\"user\">当前用户：{user}</p>"))
        if sub == "/report.csv":
            return self.send(200, report_csv(), "text/csv; charset=utf-8",
                             [("Content-Disposition", "attachment; filename=\"samples-report.csv\"")])
        if sub == "/headers":
            lang = html.escape(self.headers.get("Accept-Language", ""))
            return self.send(200, page("请求头", f"<p id=\"lang\">{lang}</p>"))
        if sub == "/slow":
            time.sleep(min(int(query.get("ms", ["1000"])[0]), 30000) / 1000)
            return self.send(200, page("慢", "<p id=\"slow\">完成</p>"))
        if sub == "/status":
            code = int(query.get("code", ["500"])[0])
            return self.send(code, page("错误", f"<h1>服务器错误 {code}</h1>"))
        if sub == "/auth":
            return self.auth()
        if sub == "/download":
            return self.download(query)
        if sub in FIXTURE_PAGES:
            return self.send(200, FIXTURE_PAGES[sub])
        return self.send(404, page("未找到", "<h1>404 未找到</h1>"))

    do_HEAD = do_GET

    def do_POST(self):
        self.record()
        path = urllib.parse.urlsplit(self.path).path
        form = self.read_form()
        if path == ROOT + "/login":
            user = form.get("user", [""])[0].strip() or "访客"
            cookie = "lims_user=" + urllib.parse.quote(user) + "; Path=" + ROOT + "; Max-Age=86400"
            return self.send(303, "", headers=[("Location", ROOT + "/samples"), ("Set-Cookie", cookie)])
        if path == ROOT + "/register":
            row = (form.get("id", [""])[0][:32] or "S-%04d" % (len(samples) + 1),
                   form.get("kind", ["血清"])[0][:16], form.get("test", [""])[0][:32], "已登记")
            with samples_lock:
                if len(samples) < 1000:
                    samples.append(row)
            return self.send(303, "", headers=[("Location", ROOT + "/samples")])
        return self.send(404, page("未找到", "<h1>404 未找到</h1>"))

    def auth(self):
        expected = base64.b64encode(f"{AUTH_USER}:{AUTH_PASSWORD}".encode()).decode()
        if self.headers.get("Authorization", "") == "Basic " + expected:
            return self.send(200, page("已登录", "<p id=\"auth\">已通过验证</p>"))
        return self.send(401, page("需要登录", "<h1>401 需要登录</h1>"),
                         headers=[("WWW-Authenticate", "Basic realm=\"QuorLims\"")])

    def download(self, query):
        """size bytes of payload(); delay ms between 64 KiB chunks; cut=1 stops halfway and
        drops the connection, as a failing network would."""
        size = min(int(query.get("size", ["65536"])[0]), 64 << 20)
        delay = min(int(query.get("delay", ["0"])[0]), 5000) / 1000
        cut = query.get("cut", ["0"])[0] == "1"
        name = query.get("name", ["data.bin"])[0]
        data = payload(size)
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(size))
        self.send_header("Content-Disposition", f"attachment; filename=\"{name}\"")
        self.send_header("Cache-Control", "no-store")
        self.end_headers()
        limit = size // 2 if cut else size
        chunk = 64 * 1024
        try:
            for start in range(0, limit, chunk):
                self.wfile.write(data[start:min(start + chunk, limit)])
                self.wfile.flush()
                if delay:
                    time.sleep(delay)
        except (BrokenPipeError, ConnectionResetError):
            pass
        if cut:
            self.close_connection = True
            self.connection.shutdown(2)


class Server(ThreadingHTTPServer):
    daemon_threads = True
    connections = 0

    def process_request(self, request, client_address):
        self.connections += 1
        super().process_request(request, client_address)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, default=8080)
    parser.add_argument("--log")
    parser.add_argument("--tls", action="store_true", help="serve https with the self-signed test certificate")
    parser.add_argument("--max-requests", type=int, default=100000)
    parser.add_argument("--idle-exit", type=float, default=0, help="exit after this many idle seconds (0: never)")
    args = parser.parse_args()

    server = Server(("127.0.0.1", args.port), Handler)
    server.timeout = 0.5
    server.request_log = open(args.log, "a", encoding="utf-8") if args.log else None
    server.log_lock = threading.Lock()
    if args.tls:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(os.path.join(HERE, "selfsigned.crt"), os.path.join(HERE, "selfsigned.key"))
        server.socket = context.wrap_socket(server.socket, server_side=True)
    print(server.server_address[1], flush=True)

    # Bounded loop: stops after --max-requests connections or --idle-exit quiet seconds.
    last = time.monotonic()
    try:
        while server.connections < args.max_requests:
            before = server.connections
            server.handle_request()
            if server.connections != before:
                last = time.monotonic()
            elif args.idle_exit and time.monotonic() - last > args.idle_exit:
                break
    except KeyboardInterrupt:
        pass
    server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
