#pragma once
#include <QByteArray>
#include <QString>

// A small FatturaPA invoice written by the tests: the header fields the scanner reads,
// nothing else. A party with a given name or surname is a person (<Nome>, <Cognome>)
// instead of a company (<Denominazione>).
struct Doc {
    explicit Doc(const QString& n) : number(n) {}
    QString number;
    QString type = QStringLiteral("TD01");
    QString destin = QStringLiteral("BETA SPA");
    QString emitt = QStringLiteral("ALFA SRL");
    QString attach;
    QString date = QStringLiteral("2024-01-10");
    QString emittNome, emittCogn;
    QString destinNome, destinCogn;
};

QByteArray invoiceXml(const Doc& d);
