// The floor of zelvo-sms-send as a process: it loads the same libraries (Qt Core, libcurl) and
// submits the same mail to the same server with libcurl's easy interface, and does nothing else.
//   zelvo-bench-send-floor PORT LOGIN PASSWORD FROM TO MAIL_FILE
#include <curl/curl.h>

#include <QByteArray>
#include <QFile>
#include <algorithm>
#include <cstring>

namespace {

struct Upload {
    QByteArray mail;
    qsizetype sent = 0;
};

size_t readMail(char* buffer, size_t size, size_t count, void* data) {
    auto* upload = static_cast<Upload*>(data);
    const auto piece =
        std::min<qsizetype>(qsizetype(size * count), upload->mail.size() - upload->sent);
    std::memcpy(buffer, upload->mail.constData() + upload->sent, size_t(piece));
    upload->sent += piece;
    return size_t(piece);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 7) return 64;
    QFile file(QString::fromLocal8Bit(argv[6]));
    if (!file.open(QIODevice::ReadOnly)) return 66;
    Upload upload{file.readAll()};
    const QByteArray url = "smtp://127.0.0.1:" + QByteArray(argv[1]);

    CURL* handle = curl_easy_init();
    if (!handle) return 70;
    curl_slist* recipients = curl_slist_append(nullptr, argv[5]);
    curl_easy_setopt(handle, CURLOPT_URL, url.constData());
    // As the command: STARTTLS whenever the server offers it.
    curl_easy_setopt(handle, CURLOPT_USE_SSL, long(CURLUSESSL_TRY));
    curl_easy_setopt(handle, CURLOPT_USERNAME, argv[2]);
    curl_easy_setopt(handle, CURLOPT_PASSWORD, argv[3]);
    curl_easy_setopt(handle, CURLOPT_LOGIN_OPTIONS, "AUTH=PLAIN");
    curl_easy_setopt(handle, CURLOPT_SASL_IR, 1L);
    curl_easy_setopt(handle, CURLOPT_MAIL_FROM, argv[4]);
    curl_easy_setopt(handle, CURLOPT_MAIL_RCPT, recipients);
    curl_easy_setopt(handle, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(handle, CURLOPT_READFUNCTION, readMail);
    curl_easy_setopt(handle, CURLOPT_READDATA, &upload);
    curl_easy_setopt(handle, CURLOPT_INFILESIZE_LARGE, curl_off_t(upload.mail.size()));
    const CURLcode result = curl_easy_perform(handle);
    curl_slist_free_all(recipients);
    curl_easy_cleanup(handle);
    return result == CURLE_OK ? 0 : 1;
}
