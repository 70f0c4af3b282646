#include "mainwin/certificatepage.h"

#include <QUrl>

namespace {

// The local error page's look: the student sees one family of messages.
const char* const CertificatePage = R"(<!DOCTYPE html>
<html lang="zh-CN">
<head>
<meta charset="utf-8">
<title>学习平台的证书不受信任</title>
<style>
  body { margin: 0; background: #eef2f7; color: #1e2b3a;
         font: 15px/1.7 "Noto Sans CJK SC", "Microsoft YaHei", "PingFang SC", sans-serif; }
  .box { max-width: 560px; margin: 60px auto; padding: 20px 28px 24px; background: #fff;
         border: 1px solid #d3dce7; border-radius: 6px; }
  h1 { margin: 0 0 12px; font-size: 21px; color: #b3261e; }
  .hint { color: #6a7888; font-size: 13px; margin-top: 14px; }
</style>
</head>
<body>
<div class="box">
  <h1 id="certificate">学习平台的证书不受信任</h1>
  <p>学习平台服务器出示的安全证书不受这台电脑信任（证书可能已过期、与平台地址不符，或不是由这台电脑信任的机构签发），客户端无法确认连接的是学校的学习平台，因此没有打开平台的页面。</p>
  <p>这不是网络故障，重试也无法解决。请联系学校的管理员处理。</p>
  <p class="hint">管理员可以在客户端的日志中找到这张证书的详细信息。</p>
</div>
</body>
</html>
)";

} // namespace

QString CertificatePageAddress() {
    return QStringLiteral("data:text/html;charset=utf-8,") +
           QString::fromLatin1(QUrl::toPercentEncoding(QString::fromUtf8(CertificatePage)));
}
