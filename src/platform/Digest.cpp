#include "platform/Digest.h"

#include <openssl/evp.h>

namespace {
QByteArray hexDigest(QByteArrayView data, const EVP_MD* md)
{
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (EVP_Digest(data.data(), static_cast<size_t>(data.size()), out, &size, md, nullptr) != 1)
        return {};
    return QByteArray(reinterpret_cast<const char*>(out), static_cast<qsizetype>(size)).toHex();
}
} // namespace

QByteArray Digest::sha256Hex(QByteArrayView data)
{
    return hexDigest(data, EVP_sha256());
}

QByteArray Digest::sha1Hex(QByteArrayView data)
{
    return hexDigest(data, EVP_sha1());
}
