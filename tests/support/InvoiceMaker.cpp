#include "InvoiceMaker.h"

namespace
{
QByteArray anagrafica(const QString& company, const QString& nome, const QString& cognome)
{
    if (nome.isEmpty() && cognome.isEmpty())
        return "<Anagrafica><Denominazione>" + company.toUtf8() + "</Denominazione></Anagrafica>";
    return "<Anagrafica><Nome>" + nome.toUtf8() + "</Nome><Cognome>" + cognome.toUtf8() +
           "</Cognome></Anagrafica>";
}
} // namespace

QByteArray invoiceXml(const Doc& d)
{
    QByteArray x = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<p:FatturaElettronica versione=\"FPR12\">"
                   "<FatturaElettronicaHeader><CedentePrestatore><DatiAnagrafici><IdFiscaleIVA>"
                   "<IdPaese>IT</IdPaese><IdCodice>01234567890</IdCodice></IdFiscaleIVA>" +
                   anagrafica(d.emitt, d.emittNome, d.emittCogn) +
                   "</DatiAnagrafici></CedentePrestatore>"
                   "<CessionarioCommittente><DatiAnagrafici><CodiceFiscale>09876543210</CodiceFiscale>" +
                   anagrafica(d.destin, d.destinNome, d.destinCogn) +
                   "</DatiAnagrafici></CessionarioCommittente>"
                   "</FatturaElettronicaHeader><FatturaElettronicaBody><DatiGenerali>"
                   "<DatiGeneraliDocumento><TipoDocumento>" +
                   d.type.toUtf8() + "</TipoDocumento><Divisa>EUR</Divisa><Data>" + d.date.toUtf8() +
                   "</Data><Numero>" + d.number.toUtf8() + "</Numero></DatiGeneraliDocumento></DatiGenerali>";
    if (!d.attach.isEmpty())
        x += "<Allegati><NomeAttachment>" + d.attach.toUtf8() + "</NomeAttachment></Allegati>";
    return x + "</FatturaElettronicaBody></p:FatturaElettronica>\n";
}
