#pragma once
#include <QString>

// Why talking to a CardDAV server failed.
enum class CarddavFailure {
    None,
    Unreachable,          // no answer: wrong address, no network, server stopped
    WrongPassword,        // the server refused the user name or the password
    NotCarddav,           // the server answers, but no address book is there
    CertificateUntrusted, // TLS certificate not trusted: Fingerprint says which one
    PlainHttp,            // unencrypted http to another computer, not allowed yet
    RedirectRefused,      // a redirect to another server or from https to http
    ConnectionLost,       // the connection ended in the middle of an answer
    ServerError,          // an answer the client cannot use
    StoreFailed,          // the database refused the changes: nothing was written
    Cancelled,
};

struct CarddavError
{
    CarddavFailure Kind = CarddavFailure::None;
    QString Host;        // the server's host name, for the message
    QString Fingerprint; // SHA-256 of the untrusted certificate, hex pairs with ":"
    QString Detail;      // the network layer's or the server's own words, for the message

    explicit operator bool() const { return Kind != CarddavFailure::None; }
};

// The message shown to the user.
QString CarddavErrorText(const CarddavError& error);
