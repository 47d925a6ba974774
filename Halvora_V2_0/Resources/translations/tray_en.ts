<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>%1 selezionati</source>
        <translation>%1 selected</translation>
    </message>
    <message>
        <source>Annulla la selezione</source>
        <translation>Clear the selection</translation>
    </message>
    <message>
        <source>Deseleziona</source>
        <translation>Deselect</translation>
    </message>
    <message>
        <source>Invia con AirDrop</source>
        <translation>Send with KDE Connect</translation>
    </message>
    <message>
        <source>Invia i %1 elementi selezionati con AirDrop</source>
        <translation>Send the %1 selected items with KDE Connect</translation>
    </message>
    <message>
        <source>Invia tutto il vassoio con AirDrop</source>
        <translation>Send the whole tray with KDE Connect</translation>
    </message>
    <message>
        <source>SMART TRAY</source>
        <translation>SMART TRAY</translation>
    </message>
    <message>
        <source>Seleziona</source>
        <translation>Select</translation>
    </message>
    <message>
        <source>Svuota il vassoio</source>
        <translation>Empty the tray</translation>
    </message>
    <message>
        <source>Testo</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>Trascina qui file, link o immagini</source>
        <translation>Drag files, links or images here</translation>
    </message>
</context>
</TS>
