<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>Converti</source>
        <translation>Convert</translation>
    </message>
    <message>
        <source>Trasforma i %1 elementi selezionati</source>
        <translation>Transform the %1 selected items</translation>
    </message>
    <message>
        <source>Trasforma i file del vassoio</source>
        <translation>Transform the files in the tray</translation>
    </message>
    <message>
        <source>Archivio</source>
        <translation>Archive</translation>
    </message>
    <message>
        <source>Immagini</source>
        <translation>Images</translation>
    </message>
    <message>
        <source>PDF</source>
        <translation>PDF</translation>
    </message>
    <message>
        <source>Documenti</source>
        <translation>Documents</translation>
    </message>
    <message>
        <source>Comprimi %1 file in ZIP</source>
        <translation>Compress %1 files into a ZIP</translation>
    </message>
    <message>
        <source>Converti %1 immagini in JPEG</source>
        <translation>Convert %1 images to JPEG</translation>
    </message>
    <message>
        <source>Converti %1 immagini in PNG</source>
        <translation>Convert %1 images to PNG</translation>
    </message>
    <message>
        <source>Dimezza %1 immagini</source>
        <translation>Halve %1 images</translation>
    </message>
    <message>
        <source>Riunisci %1 immagini in un PDF</source>
        <translation>Combine %1 images into a PDF</translation>
    </message>
    <message>
        <source>Estrai il testo da %1 immagini</source>
        <translation>Extract the text from %1 images</translation>
    </message>
    <message>
        <source>Unisci %1 PDF in un documento</source>
        <translation>Merge %1 PDFs into one document</translation>
    </message>
    <message>
        <source>Estrai il testo in Word</source>
        <translation>Extract the text to Word</translation>
    </message>
    <message>
        <source>Esporta le pagine come immagini</source>
        <translation>Export the pages as images</translation>
    </message>
    <message>
        <source>Converti %1 documenti in PDF</source>
        <translation>Convert %1 documents to PDF</translation>
    </message>
    <message>
        <source>Immagine convertita</source>
        <translation>Image converted</translation>
    </message>
    <message>
        <source>%1 immagini convertite</source>
        <translation>%1 images converted</translation>
    </message>
    <message>
        <source>PDF creato</source>
        <translation>PDF created</translation>
    </message>
    <message>
        <source>Testo estratto e copiato</source>
        <translation>Text extracted and copied</translation>
    </message>
    <message>
        <source>PDF uniti</source>
        <translation>PDFs merged</translation>
    </message>
    <message>
        <source>Testo estratto in Word</source>
        <translation>Text extracted to Word</translation>
    </message>
    <message>
        <source>%1 documenti estratti</source>
        <translation>%1 documents extracted</translation>
    </message>
    <message>
        <source>%1 pagine esportate</source>
        <translation>%1 pages exported</translation>
    </message>
    <message>
        <source>Documento convertito</source>
        <translation>Document converted</translation>
    </message>
    <message>
        <source>%1 documenti convertiti</source>
        <translation>%1 documents converted</translation>
    </message>
    <message>
        <source>Archivio creato</source>
        <translation>Archive created</translation>
    </message>
    <message>
        <source>Non convertito</source>
        <translation>Not converted</translation>
    </message>
</context>
</TS>
