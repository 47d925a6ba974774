<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>Alimentatore collegato</source>
        <translation>Power adapter connected</translation>
    </message>
    <message>
        <source>Alimentazione a batteria</source>
        <translation>On battery power</translation>
    </message>
    <message>
        <source>In carica</source>
        <translation>Charging</translation>
    </message>
    <message>
        <source>File ricevuto</source>
        <translation>File received</translation>
    </message>
    <message>
        <source>Screenshot catturato</source>
        <translation>Screenshot captured</translation>
    </message>
    <message>
        <source>Aggiunto al vassoio</source>
        <translation>Added to the tray</translation>
    </message>
    <message>
        <source>%1 è tornato</source>
        <translation>%1 is back</translation>
    </message>
    <message>
        <source>Limite di 5 ore azzerato</source>
        <translation>5-hour limit reset</translation>
    </message>
    <message>
        <source>Limite di 7 giorni azzerato</source>
        <translation>7-day limit reset</translation>
    </message>
</context>
</TS>
