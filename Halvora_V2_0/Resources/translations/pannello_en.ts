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
</context>
</TS>
