<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>Alimentatore collegato</source>
        <translation>Adaptador de corriente conectado</translation>
    </message>
    <message>
        <source>Alimentazione a batteria</source>
        <translation>Funcionando con batería</translation>
    </message>
    <message>
        <source>In carica</source>
        <translation>Cargando</translation>
    </message>
</context>
</TS>
