// The mail files: the address book and tag of the program, and the mailer
// blat's stored profile and recipient lists. The first byte chooses.

#include "FuzzInput.h"
#include "blat/BlatProfile.h"
#include "blat/MailAddress.h"
#include "notify/EmailBook.h"
#include "platform/RuntimeError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray content = FuzzInput::bytes(data + 1, size - 1);
    try {
        switch (data[0] % 4) {
        case 0: {
            EmailBook book;
            book.loadUsers(FuzzInput::write(QStringLiteral("email-users.txt"), content),
                           QStringLiteral("me@example.org"));
            for (int i = -1; i <= EmailBook::MaxEntries + 1; ++i) {
                (void)book.name(i);
                (void)book.address(i);
            }
            break;
        }
        case 1: {
            EmailBook book;
            book.loadTag(FuzzInput::write(QStringLiteral("email-tag.txt"), content));
            break;
        }
        case 2: {
            // The profile's file is read whole into fromText(); given in memory.
            BlatProfile profile;
            profile.fromText(content);
            // What was read is written and read back unchanged.
            BlatProfile again;
            again.fromText(profile.toText());
            if (again.server != profile.server || again.port != profile.port)
                __builtin_trap();
            break;
        }
        default:
            for (const QString& address :
                 MailAddress::parseList(QString::fromUtf8(content)).valid) {
                if (!MailAddress::isValid(address))
                    __builtin_trap(); // only usable addresses are kept
                (void)MailAddress::domainOf(MailAddress::bare(address));
            }
        }
    } catch (const RuntimeError&) {
    }
    return 0;
}
