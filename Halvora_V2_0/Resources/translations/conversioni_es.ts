<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>Converti</source>
        <translation>Convertir</translation>
    </message>
    <message>
        <source>Trasforma i %1 elementi selezionati</source>
        <translation>Transformar los %1 elementos seleccionados</translation>
    </message>
    <message>
        <source>Trasforma i file del vassoio</source>
        <translation>Transformar los archivos de la bandeja</translation>
    </message>
    <message>
        <source>Archivio</source>
        <translation>Archivo</translation>
    </message>
    <message>
        <source>Immagini</source>
        <translation>Imágenes</translation>
    </message>
    <message>
        <source>PDF</source>
        <translation>PDF</translation>
    </message>
    <message>
        <source>Documenti</source>
        <translation>Documentos</translation>
    </message>
    <message>
        <source>Comprimi %1 file in ZIP</source>
        <translation>Comprimir %1 archivos en ZIP</translation>
    </message>
    <message>
        <source>Converti %1 immagini in JPEG</source>
        <translation>Convertir %1 imágenes a JPEG</translation>
    </message>
    <message>
        <source>Converti %1 immagini in PNG</source>
        <translation>Convertir %1 imágenes a PNG</translation>
    </message>
    <message>
        <source>Dimezza %1 immagini</source>
        <translation>Reducir a la mitad %1 imágenes</translation>
    </message>
    <message>
        <source>Riunisci %1 immagini in un PDF</source>
        <translation>Reunir %1 imágenes en un PDF</translation>
    </message>
    <message>
        <source>Estrai il testo da %1 immagini</source>
        <translation>Extraer el texto de %1 imágenes</translation>
    </message>
    <message>
        <source>Unisci %1 PDF in un documento</source>
        <translation>Unir %1 PDF en un documento</translation>
    </message>
    <message>
        <source>Estrai il testo in Word</source>
        <translation>Extraer el texto a Word</translation>
    </message>
    <message>
        <source>Esporta le pagine come immagini</source>
        <translation>Exportar las páginas como imágenes</translation>
    </message>
    <message>
        <source>Converti %1 documenti in PDF</source>
        <translation>Convertir %1 documentos a PDF</translation>
    </message>
    <message>
        <source>Immagine convertita</source>
        <translation>Imagen convertida</translation>
    </message>
    <message>
        <source>%1 immagini convertite</source>
        <translation>%1 imágenes convertidas</translation>
    </message>
    <message>
        <source>PDF creato</source>
        <translation>PDF creado</translation>
    </message>
    <message>
        <source>Testo estratto e copiato</source>
        <translation>Texto extraído y copiado</translation>
    </message>
    <message>
        <source>PDF uniti</source>
        <translation>PDF unidos</translation>
    </message>
    <message>
        <source>Testo estratto in Word</source>
        <translation>Texto extraído a Word</translation>
    </message>
    <message>
        <source>%1 documenti estratti</source>
        <translation>%1 documentos extraídos</translation>
    </message>
    <message>
        <source>%1 pagine esportate</source>
        <translation>%1 páginas exportadas</translation>
    </message>
    <message>
        <source>Documento convertito</source>
        <translation>Documento convertido</translation>
    </message>
    <message>
        <source>%1 documenti convertiti</source>
        <translation>%1 documentos convertidos</translation>
    </message>
    <message>
        <source>Archivio creato</source>
        <translation>Archivo creado</translation>
    </message>
    <message>
        <source>Non convertito</source>
        <translation>No convertido</translation>
    </message>
</context>
</TS>
