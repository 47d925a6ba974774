<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>%1 selezionati</source>
        <translation>%1 seleccionados</translation>
    </message>
    <message>
        <source>Annulla la selezione</source>
        <translation>Anular la selección</translation>
    </message>
    <message>
        <source>Deseleziona</source>
        <translation>Deseleccionar</translation>
    </message>
    <message>
        <source>Invia con AirDrop</source>
        <translation>Enviar con KDE Connect</translation>
    </message>
    <message>
        <source>Invia i %1 elementi selezionati con AirDrop</source>
        <translation>Enviar los %1 elementos seleccionados con KDE Connect</translation>
    </message>
    <message>
        <source>Invia tutto il vassoio con AirDrop</source>
        <translation>Enviar toda la bandeja con KDE Connect</translation>
    </message>
    <message>
        <source>SMART TRAY</source>
        <translation>BANDEJA</translation>
    </message>
    <message>
        <source>Seleziona</source>
        <translation>Seleccionar</translation>
    </message>
    <message>
        <source>Svuota il vassoio</source>
        <translation>Vaciar la bandeja</translation>
    </message>
    <message>
        <source>Testo</source>
        <translation>Texto</translation>
    </message>
    <message>
        <source>Trascina qui file, link o immagini</source>
        <translation>Arrastra aquí archivos, enlaces o imágenes</translation>
    </message>
</context>
</TS>
